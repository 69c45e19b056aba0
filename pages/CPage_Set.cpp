#include "CPage_Set.h"

CPage_Set::CPage_Set(QWidget *parent)
    : SettingsPage(parent)
{
}

void CPage_Set::LoadFromImage(const SettingsImage &) {}

void CPage_Set::StoreToImage(SettingsImage &) {}
