#pragma once

#include "SettingsPage.h"

// Placeholder page until its fields are built.
class CPage_Issue : public SettingsPage
{
    Q_OBJECT

public:
    explicit CPage_Issue(QWidget *parent = nullptr);

    void LoadFromImage(const SettingsImage &image) override;
    void StoreToImage(SettingsImage &image) override;
};
