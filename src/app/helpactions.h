#pragma once

#include <QString>

class Machine;
class QWidget;

// The Help actions every main window shares: the About box and the update
// check of the program's own feed.
namespace HelpActions {

// Window-modal over the parent, deleted when closed; without a machine the
// connected machine reads "not connected".
void showAbout(QWidget *parent, Machine *machine = nullptr);
// Checks the feed and reports the result in boxes, whatever it is.
void checkForUpdates();
// The settings key "UpdateFeed" when set, else the build's appcast address.
QString updateFeedUrl();

} // namespace HelpActions
