#pragma once

#include <QString>

#include <filesystem>

// Where the program keeps its files. A portable copy (its folder is writable) keeps "setting"
// and starts its file dialogs beside itself; an installed copy uses the user's configuration
// folder for the application instead. Help is looked up beside the program, then in the
// installed data folder.
namespace ProgramFolders {

QString programFolder();  // the folder that holds the program file
std::filesystem::path dataFolder();
QString helpPath();        // the help document, or where it would be beside the program
QString applicationName(); // the program file's base name

}  // namespace ProgramFolders
