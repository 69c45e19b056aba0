#pragma once

#include "settings/SettingsImage.h"

#include <QWidget>

// A tab page of the main window. It never holds the image: the window hands it the current image
// to show and later asks it to write its fields back. After a change of one of its controls the
// page emits dataCheck(), the data-check command, which the main window answers.
class SettingsPage : public QWidget
{
    Q_OBJECT

public:
    using QWidget::QWidget;

    // Sets the page's controls from the bytes it owns. The image is not modified.
    virtual void LoadFromImage(const SettingsImage &image) = 0;
    // Writes the page's controls into the bytes it owns; touches no other byte.
    virtual void StoreToImage(SettingsImage &image) = 0;

signals:
    void dataCheck();
};
