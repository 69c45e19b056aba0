#include "CPage_Param1.h"

CPage_Param1::CPage_Param1(QWidget *parent)
    : SettingsPage(parent)
{
}

void CPage_Param1::LoadFromImage(const SettingsImage &) {}

void CPage_Param1::StoreToImage(SettingsImage &) {}
