#pragma once

#include <QIcon>

// The picture of a command that both the menu and the toolbar show through one action. The menu
// asks for its 16 x 15 box and gets `menuPicture`; the toolbar asks for a square and gets
// `toolbarPicture` (the whole 16 x 16 drawing, as its buttons are laid out for). Each answers
// for every mode and scale as a plain icon of its own would.
namespace CommandPicture {

QIcon make(const QIcon &menuPicture, const QIcon &toolbarPicture);

}  // namespace CommandPicture
