#include "CPage_IP.h"

CPage_IP::CPage_IP(QWidget *parent)
    : SettingsPage(parent)
{
}

void CPage_IP::LoadFromImage(const SettingsImage &) {}

void CPage_IP::StoreToImage(SettingsImage &) {}
