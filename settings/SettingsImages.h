#pragma once

#include "settings/SettingsImage.h"

// The three images the main window holds: the one the pages edit, and the two references that
// decide which questions are asked (the image as last saved or loaded, and as last sent).
struct SettingsImages
{
    SettingsImage current;
    SettingsImage saved;
    SettingsImage sent;

    bool DiffersFromSent() const { return current != sent; }
    bool DiffersFromSaved() const { return current != saved; }

    // Start-up: both copies become the image just read.
    void startFrom(const SettingsImage &image) { current = saved = sent = image; }
    void markSent() { sent = current; }
    void markSaved() { saved = current; }
};
