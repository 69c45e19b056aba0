#include "CPage_Issue.h"

CPage_Issue::CPage_Issue(QWidget *parent)
    : SettingsPage(parent)
{
}

void CPage_Issue::LoadFromImage(const SettingsImage &) {}

void CPage_Issue::StoreToImage(SettingsImage &) {}
