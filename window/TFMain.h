// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <functional>
#include <memory>

#include <QMessageBox>
#include <QString>
#include <QWidget>

#include "run/CalculationRun.h"
#include "run/Ports.h"

namespace Ui {
class TFMain;
}
class QLineEdit;

namespace corvane {

// The text of the window caption and of every message box.
extern const char* const kApplicationTitle; // "Corvane"

// One message box as the user would see it.
struct MessageBoxRecord {
    QMessageBox::Icon icon;
    QString caption;
    QString text;
};

// The design window: binds the controls of its form to the calculation run, which holds
// every rule; the window shows the run's messages and results.
class TFMain : public QWidget, private FormPort, private MessagePort, private ResultPort {
    Q_OBJECT
public:
    explicit TFMain(QWidget* parent = nullptr);
    ~TFMain() override;

    const DesignState& State() const { return run_.State(); }
    // The form as the run reads it: field texts and drop-down items.
    const FormPort& Form() const { return *this; }

    // Replaces the modal boxes, so that tests can record them instead of blocking.
    using MessageBoxHook = std::function<void(const MessageBoxRecord&)>;
    void SetMessageBoxHook(MessageBoxHook hook);

public slots:
    void FormCreate();
    void FormPaint();
    void CBTypeChange();
    void CBType1Change();
    void leNChange();
    void leRippleChange();
    void lePassFChange();
    void leFminChange();
    void leFmaxChange();
    void cbScaleChange();
    void leFstartChange();
    void BCalculateClick();
    void BitBtn1Click();
    void CheckBox1Click();
    void chGainMouseMove();
    void Series1Click();
    void Series2Click();
    void PB1Paint();

signals:
    // The end of every run that got through its computations and refreshed chart and grid.
    void RunCompleted();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::string FieldText(Field field) const override;
    int ItemIndex(Selector selector) const override;
    std::string SelectorText(Selector selector) const override;
    void SetStepText(const std::string& text) override;
    void SetTitle(const std::string& text) override;
    void ShowMessage(const std::string& text) override;
    void PlotResponse(const Sweep& Freq, const Sweep& Att, const Sweep& S11) override;
    void FillElementGrid() override;

    void SetUpFont();
    void SetUpWindow();
    void SetUpControls();
    void SetUpElementGrid();
    void ConnectHandlers();
    void ApplyFieldLimits();
    void RouteEnterKey();
    void ApplySelectionRules();
    void EnableField(QLineEdit* field, bool enabled);
    void ShowUnitLabels();
    QLineEdit* FieldEdit(Field field) const;

    void ClearCurves();
    void ShowCursorValues();
    bool IsOrderEven();
    void DrawSchematic();
    void DrawSelectedLayout(bool orderEven);

    void ShowBox(QMessageBox::Icon icon, const QString& text);
    // Runs a handler body; a failure ends it and is shown by the general error report,
    // so that no exception reaches Qt's event loop.
    void Guarded(const std::function<void()>& body);

    std::unique_ptr<Ui::TFMain> ui;
    CalculationRun run_;
    MessageBoxHook boxHook_;
};

} // namespace corvane
