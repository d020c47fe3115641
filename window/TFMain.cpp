// SPDX-License-Identifier: Apache-2.0
#include "window/TFMain.h"

#include <algorithm>

#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include "window/GridClipboard.h"
#include "filtermath/NumberText.h"
#include "run/Rules.h"
#include "window/QtText.h"
#include "window/WindowStyle.h"
#include "ui_TFMain.h"

namespace corvane {

const char* const kApplicationTitle = "Corvane";

namespace {

constexpr int kClientWidth = 628;
constexpr int kClientHeight = 522;
// The nearest Debian font to an 8-point bitmap sans at 96 dpi; its metrics fit every caption.
constexpr const char* kFontFamily = "Liberation Sans";
constexpr int kFontPixels = 11;
constexpr int kGridRowHeight = 18;
// The grid's eleven data rows below its header; a design with more poles adds rows.
constexpr int kGridMinimumRows = 11;
constexpr int kPolesColumnWidth = 44;
constexpr int kCapacitorColumnWidth = 76;
constexpr int kUnitLabelCount = 6;
constexpr int kSeparatorY = 4;

QIcon CheckMarkIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(QColor(0, 128, 0), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    const QPointF tick[] = {{3.0, 8.5}, {6.5, 12.0}, {13.0, 4.0}};
    painter.drawPolyline(tick, 3);
    return QIcon(pixmap);
}

bool IsEnterKey(const QEvent* event)
{
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

TFMain::TFMain(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::TFMain>()), run_(*this, *this, *this)
{
    ui->setupUi(this);
    SetUpFont();
    SetUpWindow();
    SetUpControls();
    InstallGridClipboard(ui->SG1);
    ConnectHandlers();
    FormCreate();
}

TFMain::~TFMain() = default;

void TFMain::SetMessageBoxHook(MessageBoxHook hook)
{
    boxHook_ = std::move(hook);
}

void TFMain::SetUpWindow()
{
    setWindowTitle(kApplicationTitle);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, kClientHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TFMain::SetUpFont()
{
    QFont windowFont(kFontFamily);
    windowFont.setPixelSize(kFontPixels);
    setFont(windowFont);
}

void TFMain::SetUpControls()
{
    ApplyFieldLimits();
    for (QGroupBox* group : findChildren<QGroupBox*>()) group->setStyle(WindowStyle::Shared());
    ui->CheckBox1->setStyle(WindowStyle::Shared());
    QPalette stepPalette = ui->leStep->palette();
    stepPalette.setColor(QPalette::Text, Qt::blue);
    stepPalette.setColor(QPalette::Base, stepPalette.color(QPalette::Window));
    ui->leStep->setPalette(stepPalette);
    QFont bold = font();
    bold.setBold(true);
    ui->Panel2->setFont(bold);
    ui->BitBtn1->setIcon(CheckMarkIcon());
    SetUpElementGrid();
    RouteEnterKey();
}

void TFMain::ApplyFieldLimits()
{
    for (Field field :
         {Field::N, Field::Ripple, Field::PassF, Field::Fmin, Field::Fmax, Field::R, Field::FStart, Field::Stop}) {
        const int limit = FieldMaxLength(field);
        if (limit > 0) FieldEdit(field)->setMaxLength(limit);
    }
}

void TFMain::SetUpElementGrid()
{
    QTableWidget* grid = ui->SG1;
    grid->setColumnCount(static_cast<int>(kGridHeader.size()));
    grid->setRowCount(kGridMinimumRows);
    QHeaderView* rows = grid->verticalHeader();
    rows->setMinimumSectionSize(kGridRowHeight);
    rows->setDefaultSectionSize(kGridRowHeight);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView* header = grid->horizontalHeader();
    header->setFixedHeight(kGridRowHeight);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setStretchLastSection(true);
    header->setHighlightSections(false);
    grid->setColumnWidth(0, kPolesColumnWidth);
    grid->setColumnWidth(1, kCapacitorColumnWidth);
}

// Enter acts as a click on "Apply" from a text field, a drop-down's text or the check box,
// and on "&Calculate" when that button has the focus.
void TFMain::RouteEnterKey()
{
    for (QLineEdit* edit : findChildren<QLineEdit*>()) edit->installEventFilter(this);
    for (QComboBox* combo : findChildren<QComboBox*>()) combo->installEventFilter(this);
    ui->CheckBox1->installEventFilter(this);
    ui->BCalculate->installEventFilter(this);
}

bool TFMain::eventFilter(QObject* watched, QEvent* event)
{
    if (!IsEnterKey(event)) return QWidget::eventFilter(watched, event);
    if (watched == ui->BCalculate)
        ui->BCalculate->click();
    else
        ui->BitBtn1->click();
    return true;
}

void TFMain::ConnectHandlers()
{
    connect(ui->CBType, &TComboBox::Changed, this, &TFMain::CBTypeChange);
    connect(ui->CBModel, &TComboBox::Changed, this, &TFMain::CBTypeChange);
    connect(ui->CBType1, &TComboBox::Changed, this, &TFMain::CBType1Change);
    connect(ui->cbScale, &TComboBox::Changed, this, &TFMain::cbScaleChange);
    connect(ui->leN, &QLineEdit::textChanged, this, &TFMain::leNChange);
    connect(ui->leRipple, &QLineEdit::textChanged, this, &TFMain::leRippleChange);
    connect(ui->lePassF, &QLineEdit::textChanged, this, &TFMain::lePassFChange);
    connect(ui->leFmin, &QLineEdit::textChanged, this, &TFMain::leFminChange);
    connect(ui->leFmax, &QLineEdit::textChanged, this, &TFMain::leFmaxChange);
    connect(ui->leFStart, &QLineEdit::textChanged, this, &TFMain::leFstartChange);
    connect(ui->leStop, &QLineEdit::textChanged, this, &TFMain::leFstartChange);
    connect(ui->BCalculate, &QPushButton::clicked, this, &TFMain::BCalculateClick);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TFMain::BitBtn1Click);
    connect(ui->CheckBox1, &QCheckBox::toggled, this, &TFMain::CheckBox1Click);
    connect(ui->chGain, &TChart::MouseMoved, this, &TFMain::chGainMouseMove);
    connect(ui->chGain, &TChart::SeriesClicked, this, [this](int series) {
        if (series == 0)
            Series1Click();
        else
            Series2Click();
    });
    connect(ui->PB1, &TPaintBox::Painting, this, &TFMain::PB1Paint);
}

void TFMain::FormCreate()
{
    Guarded([this] {
        run_.Create();
        ApplySelectionRules();
        ui->SG1->setHorizontalHeaderLabels({kGridHeader[0], kGridHeader[1], kGridHeader[2]});
    });
}

void TFMain::paintEvent(QPaintEvent*)
{
    FormPaint();
}

void TFMain::FormPaint()
{
    QPainter painter(this);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(0, kSeparatorY, frameGeometry().width(), kSeparatorY);
}

// The ripple preset and the enabled fields that the two selectors decide.
void TFMain::ApplySelectionRules()
{
    const RipplePreset preset = RipplePresetFor(ui->CBModel->currentIndex());
    EnableField(ui->leRipple, preset.enabled);
    ui->leRipple->setText(preset.text);
    const bool bandEdges = BandEdgesEnabledFor(ui->CBType->currentIndex());
    EnableField(ui->leFmin, bandEdges);
    EnableField(ui->leFmax, bandEdges);
    EnableField(ui->lePassF, !bandEdges);
}

// A labelled field's caption greys out with it.
void TFMain::EnableField(QLineEdit* field, bool enabled)
{
    field->setEnabled(enabled);
    if (QLabel* caption = findChild<QLabel*>(field->objectName() + QStringLiteral("Label")))
        caption->setEnabled(enabled);
}

void TFMain::CBTypeChange()
{
    Guarded([this] {
        run_.SelectKind();
        ApplySelectionRules();
        DrawSchematic();
        ClearCurves();
    });
}

void TFMain::CBType1Change()
{
    Guarded([this] { DrawSchematic(); });
}

void TFMain::leNChange()
{
    // The curves go first, so that a pole count that does not convert still removes them.
    Guarded([this] {
        ClearCurves();
        if (!ui->leN->text().isEmpty()) DrawSchematic();
    });
}

void TFMain::leRippleChange()
{
    Guarded([this] { ClearCurves(); });
}

void TFMain::lePassFChange()
{
    Guarded([this] { ClearCurves(); });
}

void TFMain::leFminChange()
{
    Guarded([this] { ClearCurves(); });
}

void TFMain::leFmaxChange()
{
    Guarded([this] { ClearCurves(); });
}

void TFMain::cbScaleChange()
{
    Guarded([this] {
        run_.ScaleChange();
        ShowUnitLabels();
    });
}

void TFMain::ShowUnitLabels()
{
    const QString caption = ToQt(UnitLabelText(ui->cbScale->currentText().toStdString()));
    for (int i = 1; i <= kUnitLabelCount; ++i)
        if (QLabel* label = findChild<QLabel*>(QStringLiteral("l%1").arg(i))) label->setText(caption);
}

void TFMain::leFstartChange()
{
    Guarded([this] { run_.UpdateSweep(); });
}

void TFMain::BCalculateClick()
{
    Guarded([this] { run_.Calculate(); });
}

void TFMain::BitBtn1Click()
{
    Guarded([this] { run_.Apply(); });
}

void TFMain::FillElementGrid()
{
    const auto rows = run_.GridRows();
    QTableWidget* grid = ui->SG1;
    grid->clearContents();
    grid->setRowCount(std::max(kGridMinimumRows, static_cast<int>(rows.size())));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        for (int c = 0; c < static_cast<int>(rows[r].size()); ++c)
            if (!rows[r][c].empty()) grid->setItem(r, c, new QTableWidgetItem(ToQt(rows[r][c])));
    // The grid is the run's last display, so the run is complete here.
    emit RunCompleted();
}

QLineEdit* TFMain::FieldEdit(Field field) const
{
    switch (field) {
    case Field::N: return ui->leN;
    case Field::Ripple: return ui->leRipple;
    case Field::PassF: return ui->lePassF;
    case Field::Fmin: return ui->leFmin;
    case Field::Fmax: return ui->leFmax;
    case Field::R: return ui->leR;
    case Field::FStart: return ui->leFStart;
    case Field::Stop: return ui->leStop;
    }
    return ui->leN;
}

std::string TFMain::FieldText(Field field) const
{
    return FieldEdit(field)->text().toStdString();
}

static const QComboBox* SelectorBox(const Ui::TFMain& form, Selector selector)
{
    switch (selector) {
    case Selector::Type: return form.CBType;
    case Selector::Model: return form.CBModel;
    case Selector::Topology: return form.CBType1;
    case Selector::Scale: return form.cbScale;
    }
    return form.CBType;
}

int TFMain::ItemIndex(Selector selector) const
{
    return SelectorBox(*ui, selector)->currentIndex();
}

std::string TFMain::SelectorText(Selector selector) const
{
    return SelectorBox(*ui, selector)->currentText().toStdString();
}

void TFMain::SetStepText(const std::string& text)
{
    ui->leStep->setText(ToQt(text));
}

void TFMain::SetTitle(const std::string& text)
{
    ui->chGain->SetTitle(ToQt(text));
}

void TFMain::ShowMessage(const std::string& text)
{
    ShowBox(QMessageBox::NoIcon, ToQt(text));
}

void TFMain::ShowBox(QMessageBox::Icon icon, const QString& text)
{
    if (boxHook_) {
        boxHook_({icon, kApplicationTitle, text});
        return;
    }
    QMessageBox box(icon, kApplicationTitle, text, QMessageBox::Ok, this);
    box.exec();
}

void TFMain::Guarded(const std::function<void()>& body)
{
    try {
        body();
    } catch (const std::exception& failure) {
        ShowBox(QMessageBox::Critical, ToQt(ErrorReportText(failure.what())));
    }
}

} // namespace corvane
