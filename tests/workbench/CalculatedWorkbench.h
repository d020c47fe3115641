// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QLineEdit>
#include <QtTest>

#include "tests/window/WindowHarness.h"
#include "workbench/LadderWorkbench.h"
#include "workbench/MainWindow.h"
#include "workbench/WorkbenchHook.h"

using namespace corvane;

namespace corvane {

// The main window with its workbench open on the default design, calculated; any question box
// is answered with Discard.
struct CalculatedWorkbench {
    MainWindow main;
    LadderWorkbench* bench = nullptr;
    CalculatedWorkbench()
    {
        main.SetBoxHook([](const WorkbenchBox&) { return QMessageBox::Discard; });
        AttachWorkbench(main);
        main.show();
        main.DesignWindow()->BCalculateClick();
        main.WorkbenchAction()->trigger();
        bench = WorkbenchOf(main);
        if (bench && !QTest::qWaitForWindowExposed(bench)) qWarning("the workbench is not exposed");
    }
    // Types into a workbench field and presses Return, as a user does.
    void Apply(const char* field, const QString& text) const
    {
        auto* edit = bench->findChild<QLineEdit*>(QString::fromLatin1(field));
        if (!edit) qFatal("no field %s", field);
        WindowHarness::TypeInto(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
};

} // namespace corvane
