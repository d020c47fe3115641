#pragma once
#include <QMainWindow>

class QAction;
class QMenu;
class TFMain;

// The workbench: the classic design window as the central area, untouched, with a menu bar
// above it for files, exports, the clipboard and the analysis windows.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    TFMain* DesignWindow() const { return design_; }

    // Where analysis windows hang their actions.
    QMenu* AnalysisMenu() const { return analysisMenu_; }
    // "Exact Ladder Response..." (Ctrl+E); its window connects to triggered().
    QAction* ExactResponseAction() const { return exactResponseAction_; }

private:
    void BuildMenus();
    void BuildFileMenu();
    void BuildEditMenu();
    void BuildAnalysisMenu();
    void BuildHelpMenu();

    TFMain* design_;
    QMenu* analysisMenu_ = nullptr;
    QAction* exactResponseAction_ = nullptr;
};
