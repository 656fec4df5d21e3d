#pragma once

// Puts the process-wide state back as start-up finds it: no dialogs, no serial connection, no
// register image, no language texts, COM1 leading nowhere special. Fixtures destroy their own
// dialogs first, then call this.
void ClearProcessState();
