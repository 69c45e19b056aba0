#pragma once

#include <filesystem>

// This user's home, configuration and cache folders, as $HOME and the XDG variables name them.
// Run as root with another user's environment (sudo -E, su -m), those name that user's folders:
// root's own, from the password database, are used instead. Root never makes folders in another
// user's home; they would be root's, and the user could use them no more.
namespace UserFolders {

std::filesystem::path home();    // $HOME, else the password database's; empty when neither says
std::filesystem::path config();  // $XDG_CONFIG_HOME, else home()/.config (relative without a home)
std::filesystem::path cache();   // $XDG_CACHE_HOME, else home()/.cache

// Run as root with another user's environment: HOME becomes root's own home, and the XDG folder
// variables that name the other user's folders go, so that nothing else in the process (the
// toolkit's own settings, the font cache) writes there either. Called once at start-up, before
// the toolkit and before any thread; it changes nothing for anyone else.
void keepOutOfOtherUsersHome();

}  // namespace UserFolders
