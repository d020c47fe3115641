// SPDX-License-Identifier: Apache-2.0
#pragma once

class MainWindow;
class ExactResponseWindow;

// Analysis → Exact Ladder Response… opens the one exact-response window of the workbench,
// created on first use; its settings travel with the design (saved, opened, New).
void AttachExactResponseWindow(MainWindow& main);

// The window the action opened, or nullptr before the first use.
ExactResponseWindow* ExactResponseWindowOf(const MainWindow& main);
