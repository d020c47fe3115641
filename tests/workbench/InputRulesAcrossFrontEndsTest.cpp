// SPDX-License-Identifier: Apache-2.0
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QtTest>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "export/DesignFile.h"
#include "filtermath/Failure.h"
#include "tests/cli/CliHarness.h"
#include "window/TFMain.h"
#include "workbench/DesignPanel.h"
#include "workbench/BackgroundJob.h"
#include "workbench/LadderWorkbench.h"
#include "workbench/MainWindow.h"
#include "workbench/ToleranceForm.h"
#include "workbench/ToleranceTab.h"
#include "workbench/WorkbenchHook.h"

using namespace corvane;

// The same texts typed into every workbench field of a rule and given to the command-line option
// of that rule: each front end accepts or refuses each text alike, and a refusal names the field.
class InputRulesAcrossFrontEndsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void everyFrontEndGivesTheSameVerdict_data();
    void everyFrontEndGivesTheSameVerdict();

private:
    struct Verdict {
        bool accepted;
        QString message;
    };
    struct Binding {
        QString field; // the name a refusal starts with
        std::function<Verdict(const QString&)> read;
    };
    struct RuleTexts {
        const char* rule;
        std::vector<std::pair<const char*, bool>> texts; // text, accepted
    };

    static std::vector<RuleTexts> Tables();
    std::vector<Binding> BindingsOf(const QString& rule);
    Binding Cli(std::vector<std::string> args, const char* option);
    Binding Exact(const char* label, const QString& field, const QString& usable);
    Binding Tolerance(ToleranceForm::Input input, const QString& field, const QString& usable);
    Binding Panel(const char* family, const char* name, const QString& field, const QString& usable);
    using FileSetting = void (*)(ExactResponseSettings&, const std::string&);
    Binding File(const char* option, FileSetting set);
    void ResetTolerance();

    std::unique_ptr<MainWindow> main_;
    LadderWorkbench* exact_ = nullptr;
    ToleranceTab* tolerance_ = nullptr;
};

std::vector<InputRulesAcrossFrontEndsTest::RuleTexts> InputRulesAcrossFrontEndsTest::Tables()
{
    return {
        {"points",
         {{"101", true},
          {"1e3", true},
          {"1k", true},
          {"1001.0", true},
          {"100", false},
          {"1000.5", false},
          {"100002", false},
          {"x", false}}},
        {"part Q", {{"0", true}, {"100", true}, {"1.5k", true}, {"-5", false}, {"nan", false}, {"1e999", false}}},
        {"tolerance", {{"0", true}, {"5", true}, {"5%", true}, {"99", true}, {"100", false}, {"-1", false}}},
        {"trials", {{"1", true}, {"1e2", true}, {"0.1k", true}, {"0", false}, {"1000001", false}, {"2.5", false}}},
        {"seed",
         {{"0", true},
          {"42", true},
          {"18446744073709551615", true},
          {"18446744073709551616", false},
          {"1e3", false},
          {"-1", false}}},
        // In a MHz field: all good texts are 20 MHz, beyond the 10 MHz passband and inside the sweep.
        {"frequency",
         {{"20", true},
          {"20M", true},
          {"20 MHz", true},
          {"0.02G", true},
          {"20000kHz", true},
          {"0", false},
          {"-20", false},
          {"20 mhz", false},
          {"x", false}}},
        {"resistance",
         {{"50", true},
          {"0.1k", true},
          {"75 ohm", true},
          {"0.1 k\u03a9", true},
          {"0", false},
          {"-50", false},
          {"50 V", false}}},
        {"attenuation", {{"30", true}, {"30 dB", true}, {"0.03k", true}, {"-1", false}, {"30 dBm", false}}},
        {"ripple",
         {{"0.5", true}, {"500m", true}, {"0.5 dB", true}, {"0", false}, {"10.5", false}, {"-1", false}, {"x", false}}},
        // A bare self-resonance is in the design's unit (MHz).
        {"self-resonance",
         {{"0", true}, {"1200", true}, {"1.2G", true}, {"1.2 GHz", true}, {"-1", false}, {"x", false}}},
        {"stray", {{"0", true}, {"1.5p", true}, {"2 pF", true}, {"-1p", false}, {"1.5 pH", false}}},
        {"power", {{"30", true}, {"-10 dBm", true}, {"10 W", true}, {"500mW", true}, {"0 W", false}, {"x", false}}},
        {"vswr", {{"1", true}, {"2.5", true}, {"0.5", false}, {"x", false}}},
    };
}

std::vector<InputRulesAcrossFrontEndsTest::Binding> InputRulesAcrossFrontEndsTest::BindingsOf(const QString& rule)
{
    using Input = ToleranceForm::Input;
    const std::vector<std::string> monteCarlo{"--monte-carlo", "20", "--tol-l", "1", "--max-pass-loss", "3"};
    const std::vector<std::string> elliptic{"--model",  "Elliptic", "--poles",    "5",
                                            "--ripple", "0.5",      "--stop-att", "50"};
    const auto with = [](std::vector<std::string> args, std::vector<std::string> more) {
        args.insert(args.end(), more.begin(), more.end());
        return args;
    };
    if (rule == "points") return {Cli({"--network"}, "--points"), Exact("P&oints", "Points", "101")};
    if (rule == "part Q")
        return {Cli({"--network"}, "--q-l"), Cli({"--network"}, "--q-c"),
                Exact("Q of &inductors", "Q of inductors", "0"), Exact("Q of &capacitors", "Q of capacitors", "0")};
    if (rule == "tolerance")
        return {Cli(monteCarlo, "--tol-l"), Cli(monteCarlo, "--tol-c"),
                Tolerance(Input::InductorTol, "L tolerance", "1"), Tolerance(Input::CapacitorTol, "C tolerance", "0")};
    if (rule == "trials")
        return {Cli({"--tol-l", "1", "--max-pass-loss", "3"}, "--monte-carlo"),
                Tolerance(Input::Trials, "Trials", "20")};
    if (rule == "seed") return {Cli(monteCarlo, "--seed"), Tolerance(Input::Seed, "Seed", "1")};
    if (rule == "frequency")
        return {Cli(with(monteCarlo, {"--stop-att", "20"}), "--stop-freq"), Cli({"--model", "Bessel"}, "--passband"),
                Tolerance(Input::StopFreq, "Stop frequency", ""), Panel("Bessel", "Passband", "Passband", "10")};
    if (rule == "resistance")
        return {Cli({"--network"}, "--load"),
                Cli({"--model", "Bessel"}, "--rs"),
                Cli({"--model", "Bessel", "--rs", "50"}, "--rl"),
                Exact("loadValue", "Load", "50"),
                Panel("Bessel", "RS", "RS", "50"),
                Panel("Bessel", "RL", "RL", "50")};
    if (rule == "attenuation")
        return {Cli(monteCarlo, "--max-pass-loss"), Cli(elliptic, "--stop-att"),
                Tolerance(Input::MaxPassLoss, "Max passband loss", "3"),
                Panel("Elliptic", "Stopband attenuation", "Stopband attenuation", "50")};
    if (rule == "ripple") return {Cli(elliptic, "--ripple"), Panel("Elliptic", "Ripple", "Ripple", "0.5")};
    if (rule == "self-resonance")
        return {Cli({"--network"}, "--srf-l"), Exact("SRF of inductors", "SRF of inductors", "0"),
                File("--srf-l", [](ExactResponseSettings& e, const std::string& text) {
                    e.partModels.emplace().srfL = text;
                })};
    if (rule == "stray")
        return {Cli({"--network"}, "--node-c"), Exact("Stray C at each node", "Stray C at each node", "0"),
                File("--node-c", [](ExactResponseSettings& e, const std::string& text) {
                    e.partModels.emplace().nodeC = text;
                })};
    if (rule == "power")
        return {Cli({}, "--power-dbm"), Exact("Power available", "Power available", "")};
    if (rule == "vswr")
        // Read with a power only: the workbench's field is tried with one in WorkbenchStressTest.
        return {Cli({"--power-dbm", "30"}, "--vswr"),
                File("--vswr", [](ExactResponseSettings& e, const std::string& text) {
                    e.stress = StressFileSettings{"30", text, "", ""};
                })};
    return {};
}

InputRulesAcrossFrontEndsTest::Binding InputRulesAcrossFrontEndsTest::Cli(std::vector<std::string> args,
                                                                          const char* option)
{
    const std::string name = option;
    // The base arguments give the option a usable value that the text under test replaces.
    for (auto given = args.begin(); given != args.end(); ++given)
        if (*given == name) {
            args.erase(given, given + 2);
            break;
        }
    return {option, [args, name](const QString& text) {
                std::vector<std::string> all = args;
                all.push_back(name);
                all.push_back(text.toStdString());
                const CliOutcome outcome = RunCli(all);
                QStringList lines;
                for (const std::string& line : outcome.errLines) lines << QString::fromStdString(line);
                return Verdict{outcome.status == 0, lines.join('\n')};
            }};
}

InputRulesAcrossFrontEndsTest::Binding InputRulesAcrossFrontEndsTest::Exact(const char* label, const QString& field,
                                                                            const QString& usable)
{
    QLineEdit* edit = exact_->findChild<QLineEdit*>(QString::fromLatin1(label));
    for (QLabel* buddy : exact_->findChildren<QLabel*>())
        if (!edit && buddy->text().startsWith(QString::fromLatin1(label)))
            edit = qobject_cast<QLineEdit*>(buddy->buddy());
    LadderWorkbench* exact = exact_;
    return {field, [exact, edit, usable](const QString& text) {
                if (!edit) return Verdict{false, QStringLiteral("no such field")};
                edit->setText(text);
                QTest::keyClick(edit, Qt::Key_Return);
                if (!QTest::qWaitFor([exact] { return !exact->StatusText().startsWith("Analysing"); }, 20000))
                    return Verdict{false, QStringLiteral("the analysis did not end")};
                const Verdict verdict{!exact->StatusText().contains(" must be "), exact->StatusText()};
                edit->setText(usable);
                QTest::keyClick(edit, Qt::Key_Return);
                return verdict;
            }};
}

void InputRulesAcrossFrontEndsTest::ResetTolerance()
{
    using Input = ToleranceForm::Input;
    const std::pair<Input, const char*> usable[] = {
        {Input::Trials, "20"},     {Input::InductorTol, "1"}, {Input::CapacitorTol, "0"}, {Input::Seed, "1"},
        {Input::MaxPassLoss, "3"}, {Input::StopFreq, ""},     {Input::StopAtt, ""}};
    for (const auto& [input, text] : usable) tolerance_->Form()->Edit(input)->setText(QString::fromLatin1(text));
}

InputRulesAcrossFrontEndsTest::Binding InputRulesAcrossFrontEndsTest::Tolerance(ToleranceForm::Input input,
                                                                                const QString& field, const QString&)
{
    return {field, [this, input](const QString& text) {
                ResetTolerance();
                // The stop frequency needs the attenuation asked there to form a mask.
                if (input == ToleranceForm::Input::StopFreq)
                    tolerance_->Form()->Edit(ToleranceForm::Input::StopAtt)->setText(QStringLiteral("20"));
                tolerance_->Form()->Edit(input)->setText(text);
                QSignalSpy finished(tolerance_, &ToleranceTab::Finished);
                tolerance_->Start();
                const bool started = tolerance_->Job()->Busy();
                if (started) finished.wait(60000);
                const QString status = exact_->StatusText();
                return Verdict{started && !status.contains(" must be "), status};
            }};
}

InputRulesAcrossFrontEndsTest::Binding InputRulesAcrossFrontEndsTest::Panel(const char* family, const char* name,
                                                                            const QString& field, const QString&)
{
    DesignPanel* panel = exact_->Panel();
    const QString familyText = QString::fromLatin1(family);
    const QString fieldName = QString::fromLatin1(name);
    return {field, [panel, familyText, fieldName](const QString& text) {
                auto* familyBox = panel->findChild<QComboBox*>(QStringLiteral("Family"));
                familyBox->setCurrentIndex(familyBox->findText(familyText));
                emit familyBox->activated(familyBox->currentIndex());
                const std::pair<const char*, const char*> usable[] = {
                    {"Order", "5"},     {"Ripple", "0.5"}, {"Stopband attenuation", "50"},
                    {"Passband", "10"}, {"RS", "50"},      {"RL", "50"}};
                for (const auto& [edit, value] : usable)
                    panel->findChild<QLineEdit*>(QString::fromLatin1(edit))->setText(QString::fromLatin1(value));
                panel->findChild<QLineEdit*>(fieldName)->setText(text);
                try {
                    panel->Design();
                    return Verdict{true, QString()};
                } catch (const Failure& failure) {
                    return Verdict{false, QString::fromStdString(failure.what())};
                }
            }};
}

// A design file holding the text, run by the command line.
InputRulesAcrossFrontEndsTest::Binding InputRulesAcrossFrontEndsTest::File(const char* option, FileSetting set)
{
    return {option, [set](const QString& text) {
                DesignFile design;
                set(design.exactResponse, text.toStdString());
                const QString path = QDir(QStandardPaths::writableLocation(QStandardPaths::TempLocation))
                                         .filePath(QStringLiteral("rules-across-front-ends.corvane"));
                WriteDesignFile(path.toStdString(), design);
                const CliOutcome outcome = RunCli({"--design", path.toStdString(), "--network"});
                QFile::remove(path);
                QStringList lines;
                for (const std::string& line : outcome.errLines) lines << QString::fromStdString(line);
                return Verdict{outcome.status == 0, lines.join('\n')};
            }};
}

void InputRulesAcrossFrontEndsTest::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    main_ = std::make_unique<MainWindow>();
    main_->SetBoxHook([](const WorkbenchBox&) { return QMessageBox::Ok; });
    AttachWorkbench(*main_);
    main_->show();
    QVERIFY(QTest::qWaitForWindowExposed(main_.get()));
    main_->ToleranceAction()->trigger();
    exact_ = WorkbenchOf(*main_);
    QVERIFY(exact_);
    tolerance_ = exact_->Tolerance();
    QTest::mouseClick(main_->DesignWindow()->findChild<QPushButton*>(QStringLiteral("BCalculate")), Qt::LeftButton);
    // The load field is read when the load drop-down's third item, a typed value, is chosen.
    for (QLabel* label : exact_->findChildren<QLabel*>())
        if (label->text().startsWith(QStringLiteral("&Load")))
            qobject_cast<QComboBox*>(label->buddy())->setCurrentIndex(2);
    QVERIFY(exact_->findChild<QLineEdit*>(QStringLiteral("loadValue"))->isEnabled());
}

void InputRulesAcrossFrontEndsTest::cleanupTestCase()
{
    main_.reset();
}

void InputRulesAcrossFrontEndsTest::everyFrontEndGivesTheSameVerdict_data()
{
    QTest::addColumn<QString>("rule");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    for (const RuleTexts& table : Tables())
        for (const auto& [text, accepted] : table.texts)
            QTest::addRow("%s '%s'", table.rule, text)
                << QString::fromLatin1(table.rule) << QString::fromUtf8(text) << accepted;
}

void InputRulesAcrossFrontEndsTest::everyFrontEndGivesTheSameVerdict()
{
    QFETCH(QString, rule);
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    const std::vector<Binding> bindings = BindingsOf(rule);
    QVERIFY(!bindings.empty());
    for (const Binding& binding : bindings) {
        const Verdict verdict = binding.read(text);
        QVERIFY2(verdict.accepted == accepted, qPrintable(binding.field + ": " + verdict.message));
        if (!accepted)
            QVERIFY2(verdict.message.contains(binding.field + " must be "),
                     qPrintable(binding.field + ": " + verdict.message));
    }
}

QTEST_MAIN(InputRulesAcrossFrontEndsTest)
#include "InputRulesAcrossFrontEndsTest.moc"
