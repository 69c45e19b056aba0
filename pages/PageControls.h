#pragma once

#include "fields/Field.h"

#include <QString>
#include <QWidget>

#include <string_view>

// Finding a page's controls by the names the field descriptions give them ("<kind>_<id>").
namespace PageControls {

inline QString objectName(std::string_view kind, int id)
{
    return QStringLiteral("%1_%2").arg(QString::fromUtf8(kind.data(), static_cast<qsizetype>(kind.size()))).arg(id);
}

template <typename Control>
Control *find(const QWidget *page, std::string_view kind, int id)
{
    auto *control = page->findChild<Control *>(objectName(kind, id));
    Q_ASSERT(control);
    return control;
}

template <typename Control>
Control *find(const QWidget *page, const Fields::Control &control)
{
    return find<Control>(page, control.kind, control.id);
}

inline QString qText(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace PageControls
