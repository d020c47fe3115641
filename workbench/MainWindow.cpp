#include "workbench/MainWindow.h"

#include <QAction>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>

#include "window/TFMain.h"

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), design_(new TFMain)
{
    setWindowTitle(kApplicationTitle);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setCentralWidget(design_);
    BuildMenus();
    // The design area keeps its fixed size; the window only adds the menu bar's height.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildMenus()
{
    BuildFileMenu();
    BuildEditMenu();
    BuildAnalysisMenu();
    BuildHelpMenu();
}

void MainWindow::BuildFileMenu()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("&New"))->setShortcut(QKeySequence::New);
    file->addAction(tr("&Open..."))->setShortcut(QKeySequence::Open);
    file->addMenu(tr("Open &Recent"));
    file->addSeparator();
    file->addAction(tr("&Save"))->setShortcut(QKeySequence::Save);
    file->addAction(tr("Save &As..."))->setShortcut(QKeySequence::SaveAs);
    file->addSeparator();
    QMenu* exports = file->addMenu(tr("&Export"));
    exports->addAction(tr("&SPICE Netlist..."));
    exports->addAction(tr("&Touchstone..."));
    exports->addAction(tr("Response as &CSV..."));
    exports->addAction(tr("C&hart as PNG or SVG..."));
    file->addSeparator();
    file->addAction(tr("&Quit"))->setShortcut(QKeySequence::Quit);
}

void MainWindow::BuildEditMenu()
{
    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    edit->addAction(tr("&Copy Element Table"));
    edit->addAction(tr("Copy C&hart Image"));
}

void MainWindow::BuildAnalysisMenu()
{
    analysisMenu_ = menuBar()->addMenu(tr("&Analysis"));
    exactResponseAction_ = analysisMenu_->addAction(tr("&Exact Ladder Response..."));
    exactResponseAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
}

void MainWindow::BuildHelpMenu()
{
    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->addAction(tr("&Keyboard Shortcuts"))->setShortcut(QKeySequence::HelpContents);
    help->addAction(tr("&About Corvane"));
}
