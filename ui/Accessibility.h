#pragma once

// Drop-down lists tell a screen reader the name they were given (their accessible name, else
// the text of the label tied to them), and their current entry as their value. Qt's own
// interface for them reports the current entry as the name on Linux, so that three lists
// showing "NEXPR" sound alike. Installed once per application, before any window is shown;
// a second call changes nothing.
void InstallAccessibleNames();
