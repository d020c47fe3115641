// SPDX-License-Identifier: Apache-2.0
#pragma once

namespace corvane {

class MainWindow;
class LadderWorkbench;

// Analysis → Ladder Workbench… (Ctrl+E) and Tolerance Analysis… (Ctrl+T) open the one workbench
// window, created on first use, the latter on its Tolerance tab. Its settings travel with the
// design (saved, opened, New), and New takes the old design off it.
void AttachWorkbench(MainWindow& main);

// The window the actions opened, or nullptr before the first use.
LadderWorkbench* WorkbenchOf(const MainWindow& main);

} // namespace corvane
