// SPDX-License-Identifier: MIT
#include "_mainUnit.h"

#include "Files.h"
#include "FixedFile.h"
#include "FormPanel.h"
#include "FormStyle.h"
#include "Links.h"
#include "Loadable.h"
#include "PassOutcome.h"
#include "Paths.h"
#include "ShellService.h"
#include "WindowPlacement.h"
#include "_manualUnit.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QScreen>
#include <algorithm>
#include <array>
#include <stdexcept>

namespace {

const QString kStop = QStringLiteral("Stop");
const QString kStartRepair = QStringLiteral("Start Repair");
const QString kSeparator(123, QLatin1Char('-'));
const QString kPath = QStringLiteral("path");
// The chooser's size, splitter and columns, as base64 text beside the remembered folder.
const QString kChooser = QStringLiteral("chooser");

// Screen readers take a plain top-level widget for a filler inside something else; this one is the
// program's frame.
QAccessibleInterface* AccessibleMainWindow(const QString& className, QObject* object)
{
    if (className == QLatin1String("T_mainForm") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    return nullptr;
}

// Enter presses a tool button as Space does, as it presses the window's other keyboard stops.
class EnterClicks : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            return false;
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (button && button->isEnabled() && !key->isAutoRepeat())
            button->click();
        return button != nullptr;
    }
};

// The engine's progress in the bar's steps; the last step only once it has ended.
int EnginePercent(const TRepairRun& run)
{
    return run.Ended() ? T_mainForm::PassSteps - 1
                       : std::min(int(run.Progress() * 100), T_mainForm::PassSteps - 2);
}

} // namespace

T_mainForm::T_mainForm(const TServices& services, QWidget* parent)
    : QWidget(parent,
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint)
    , m_services(services)
{
    Q_INIT_RESOURCE(pictures);
    static const bool accessible = (QAccessible::installFactory(AccessibleMainWindow), true);
    Q_UNUSED(accessible);
    // Each label measures its text once, after its text and font are set.
    auto fitting = std::make_unique<TLabel::DeferFitting>();
    LoadForm([this] {
        setupUi(this);
        // Fonts before loading completes, so the controls that size themselves to their text (the HTML
        // label, the panel's own text) do it once, with the fonts they show.
        ApplyDesignFonts(this);
        LoadStoredPanelValues(*MainAdvPanel);
        MainAdvPanelStyler = CreateMainPanelStyler(this);
        MainAdvPanel->SetStyler(MainAdvPanelStyler);
        OpenDialog = new TOpenDialog(this);
        FolderDialog = new TFolderDialog(this);
        FolderDialog->setObjectName(QStringLiteral("FolderDialog"));
        FolderDialog->setTitle(QStringLiteral("Please, select the fixed file folder."));
        FolderDialog->setDialogX(0);
        FolderDialog->setDialogY(0);
        ExeInfo = new TExeInfo(this);
        ExeInfo->setObjectName(QStringLiteral("ExeInfo"));
        AdvProgress->setBarColor(clHighlight);
        AdvProgress->setBkColor(clWindow);
        ManualHTMLabel->setHTMLText({ Links::ManualRepairMarkup(u'Y') });
    });
    fitting.reset();
    LogoImage->setAccessibleName(ExeInfo->ProductName());
    ChangeSpeedButton->installEventFilter(new EnterClicks(ChangeSpeedButton));
    // The focus ring is in the designed order, but the stops added after the designed ones were
    // created first: without this, the window would open with the focus on "...".
    LogMemo->setFocus(Qt::OtherFocusReason);
    // A long output path must not run under the links on its row: it stops as far before "change" as
    // the links stand apart, and shows its middle shortened beyond that.
    const int linkGap = OpenLabel->x() - (ChangeLabel->x() + ChangeLabel->width());
    OutputFileStaticText->setMaximumWidth(ChangeLabel->x() - linkGap - OutputFileStaticText->x());
    setFixedSize(800, 626);

    OpenDialog->Title = QStringLiteral("Please, select the file to be repaired.");
    OpenDialog->Filter = QStringLiteral("Word documents|*.doc;*.docx;*.docm;*.rtf|"
                                        "Excel spreadsheets| *.xls;*.xla;*.xlsx|"
                                        "Zip or RAR archives|*.zip;*.rar|"
                                        "Videos|*.avi;*.mp4;*.mov;*.flv;*.wmv;*.asf;*.mpg|"
                                        "Images|*.jpg;*.jpeg;*.gif;*.tiff;*.bmp;*.png|"
                                        "PDF documents|*.pdf|"
                                        "Access databases|*.mdb;*.mde;*.accdb;*.accde|"
                                        "PowerPoint presentations|*.ppt;*.pps;*.pptx|"
                                        "Music|*.mp3;*.wav|"
                                        "Any File|*.*");
    OpenDialog->FilterIndex = 10;
    OpenDialog->Options = ofReadOnly | ofHideReadOnly | ofPathMustExist | ofFileMustExist | ofEnableSizing;

    connect(StartBitBtn, &QPushButton::clicked, this, &T_mainForm::StartBitBtnClick);
    connect(ChangeSpeedButton, &QToolButton::clicked, this, &T_mainForm::ChangeSpeedButtonClick);
    connect(BrowseLabel, &ClickLabel::clicked, this, &T_mainForm::BrowseLabelClick);
    connect(SiteLabel, &ClickLabel::clicked, this, &T_mainForm::SiteLabelClick);
    connect(EmailLabel, &ClickLabel::clicked, this, &T_mainForm::EmailLabelClick);
    connect(UndeleteLabel, &ClickLabel::clicked, this, &T_mainForm::UndeleteLabelClick);
    connect(ChangeLabel, &ClickLabel::clicked, this, &T_mainForm::ChangeLabelClick);

    KeepCentred(*this, [this] { return screen()->availableGeometry(); });

    FormCreate();
}

T_mainForm::~T_mainForm() = default;

void T_mainForm::FormCreate()
{
    set_start();
}

QString T_mainForm::CaptionText() const
{
    return ExeInfo->ProductName() + QStringLiteral("  ") + ExeInfo->ProductVersion();
}

void T_mainForm::FormActivate()
{
    setWindowTitle(CaptionText());
    StopRequested = false;
}

bool T_mainForm::event(QEvent* event)
{
    // Shown first: a desktop that holds a new window back from activation (or none that activates it at
    // all) must still show the caption.
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    else if (event->type() == QEvent::Show)
        setWindowTitle(CaptionText());
    return QWidget::event(event);
}

void T_mainForm::closeEvent(QCloseEvent* event)
{
    if (StartBitBtn->text() == kStop)
        m_closing = true;
    QWidget::closeEvent(event);
}

void T_mainForm::set_start()
{
    AdvProgress->setValue(100);
    DocumentsFolder = m_services.Desktop->DocumentsFolder();

    QString start = DocumentsFolder;
    try {
        const std::unique_ptr<TSettingsKey> key = m_services.SettingsKey();
        if (key->OpenKey(false) && key->ValueExists(kPath))
            start = key->ReadString(kPath);
    } catch (const ESettingsError&) {
        // A remembered folder that is not text is as good as none; the window must still open.
        start = DocumentsFolder;
    }
    FileAdvEdit->setText(start);
    OpenDialog->State = read_chooser_state();
    m_storedChooserState = OpenDialog->State;

    show_fixed_file(start + PathSeparator() + QStringLiteral("no.file"));
    OpenDialog->InitialDir = start;
    ChangeLabel->setEnabled(false);
    OpenLabel->setEnabled(false);
    BrowseLabel->setEnabled(false);
    LogMemo->clear();
    add_log_line(QStringLiteral("Ready"));
}

QString T_mainForm::set_fixed_file(const QString& path, int limit, int head, int tail)
{
    FixedFile = ReduceDoubledSeparators(path, PathSeparator());
    if (path.size() <= limit)
        return FixedFile;
    return ShortenForDisplay(path, limit, head, tail);
}

void T_mainForm::show_fixed_file(const QString& path)
{
    OutputFileStaticText->setText(set_fixed_file(path, PreviewLimit, PreviewHead, PreviewTail));
}

QString T_mainForm::make_fixed_name(const QString& source)
{
    return MakeFixedName(source, m_services.Clock->Now(), PathDelimiters());
}

void T_mainForm::set_controls_state(const QString& caption, bool enabled)
{
    StartBitBtn->setText(caption);
    FileAdvEdit->setEnabled(enabled);
    ChangeSpeedButton->setEnabled(enabled);
    ChangeLabel->setEnabled(enabled);
    OpenLabel->setEnabled(false);
    BrowseLabel->setEnabled(enabled);
}

void T_mainForm::add_log_line(const QString& text)
{
    LogMemo->appendPlainText(text);
}

qint64 T_mainForm::get_file_size(const QString& path)
{
    return FileSize(path);
}

bool T_mainForm::is_uniform_file(const QString& path)
{
    std::array<char, HeadSize> head;
    QString readError;
    const qint64 count = ReadFileHead(path, head.data(), head.size(), &readError);
    if (!readError.isEmpty()) {
        throw std::runtime_error(
            QStringLiteral("Cannot read file \"%1\". %2").arg(path, readError).toStdString());
    }
    for (qint64 i = 1; i < count; ++i) {
        if (head[size_t(i)] != head[0])
            return false;
    }
    return true;
}

void T_mainForm::save_setting(const QString& name, const QString& value)
{
    const std::unique_ptr<TSettingsKey> key = m_services.SettingsKey();
    if (key->OpenKey(true))
        key->WriteString(name, value);
}

void T_mainForm::delete_setting(const QString& name)
{
    const std::unique_ptr<TSettingsKey> key = m_services.SettingsKey();
    if (key->OpenKey(false))
        key->DeleteValue(name);
}

void T_mainForm::StartBitBtnClick()
{
    if (StartBitBtn->text() == kStop) {
        StopRequested = true;
        return;
    }
    StopRequested = false;
    m_closing = false;
    LogMemo->clear();

    if (!FileExists(FileAdvEdit->text()))
        ChangeSpeedButtonClick();
    const QString source = FileAdvEdit->text();
    if (!FileExists(source)) {
        add_log_line(QStringLiteral("No File"));
        return;
    }
    const qint64 size = get_file_size(source);

    set_controls_state(kStop, false);
    add_log_line(QStringLiteral("Start repair process ..."));
    add_log_line(kSeparator);
    add_log_line(QStringLiteral("File to be repaired: ") + source);
    add_log_line(QStringLiteral("Fixed file: ") + FixedFile);
    add_log_line(kSeparator);
    add_log_line(QStringLiteral("Pass 1: Reading the damaged file..."));
    add_log_line(kSeparator);

    // The engine works in its own process while the steps run; a zero-size file needs none.
    std::unique_ptr<TRepairRun> run;
    const bool outputExisted = QFileInfo(FixedFile).exists();
    if (size != 0 && m_services.Engine)
        run = m_services.Engine->Start(source, FixedFile, size);

    // The steps keep the window alive by running its events inside this handler (a nested event loop), so
    // other handlers run within it: a click on "Stop" enters StartBitBtnClick again and only raises
    // StopRequested; the links stay usable. A close of the window (closeEvent sets m_closing) or the
    // application ending also happens in there. The pass must then end at once rather than pump on for
    // seconds, probe, and show a box or the offer over a window that is gone while the program waits
    // for this handler to return before it can end.
    // The bar shows the smaller of the paced step and the engine's progress: it never runs ahead of the
    // engine, and a file takes as long as its repair does, however long that is.
    TPassEnd end = TPassEnd::Completed;
    for (int step = 0;; step = std::min(step + 1, PassSteps - 1)) {
        const int shown = run ? std::min(step, EnginePercent(*run)) : step;
        AdvProgress->setValue(shown);
        if (!m_services.Waiter->WaitAndPump(StepMilliseconds))
            m_closing = true;
        if (m_closing || StopRequested) {
            end = m_closing ? TPassEnd::Closed : TPassEnd::Stopped;
            break;
        }
        if (shown == PassSteps - 1)
            break;
    }

    TRepairReport report;
    if (run && end != TPassEnd::Completed) {
        run->Stop();
        // A fixed file appears only when the pass ends uninterrupted; the engine never overwrites, so a
        // file there now that was not there before is its own.
        if (!outputExisted && QFileInfo(FixedFile).exists())
            QFile::remove(FixedFile);
    } else if (run) {
        report = run->Report();
    }
    run.reset();

    TPassProbe probe;
    probe.Size = size;
    if (end == TPassEnd::Completed) {
        try {
            probe.Uniform = is_uniform_file(source);
        } catch (const std::exception& e) {
            probe.Failure = QString::fromUtf8(e.what());
        }
    }
    const TPassOutcome outcome = RepairPassOutcome(end, probe, report);
    for (const QString& line : outcome.Lines)
        add_log_line(line);
    if (!outcome.ErrorBox.isEmpty())
        m_services.Dialogs->ErrorBox(outcome.ErrorBox);
    if (outcome.Separator)
        add_log_line(kSeparator);
    set_controls_state(kStartRepair, true);
    if (outcome.Offer && m_manualForm)
        m_services.Dialogs->ShowModal(*m_manualForm);
    add_log_line(outcome.FinalLine);
}

void T_mainForm::ChangeSpeedButtonClick()
{
    const QString current = FileAdvEdit->text();
    OpenDialog->InitialDir = DirectoryExists(current) ? current : FolderPart(current, PathDelimiters());
    const bool chosen = m_services.Dialogs->ExecuteOpen(*OpenDialog, this);
    keep_chooser_state();
    if (chosen)
        take_source(OpenDialog->FileName);
}

QByteArray T_mainForm::read_chooser_state()
{
    try {
        const std::unique_ptr<TSettingsKey> key = m_services.SettingsKey();
        if (!key->OpenKey(false) || !key->ValueExists(kChooser))
            return {};
        const auto decoded = QByteArray::fromBase64Encoding(
            key->ReadString(kChooser).toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        return decoded ? *decoded : QByteArray();
    } catch (const ESettingsError&) {
        return {}; // the chooser opens fitted to its folder instead
    }
}

void T_mainForm::keep_chooser_state()
{
    if (OpenDialog->State == m_storedChooserState)
        return;
    try {
        save_setting(kChooser, QString::fromLatin1(OpenDialog->State.toBase64()));
        m_storedChooserState = OpenDialog->State;
    } catch (const ESettingsError&) {
        // Only the chooser's layout is lost; the choice itself must go on.
    }
}

bool T_mainForm::take_source(const QString& chosen)
{
    if (!FileExists(chosen))
        return false;

    FileAdvEdit->setText(chosen);
    show_fixed_file(make_fixed_name(chosen));
    ChangeLabel->setEnabled(true);
    BrowseLabel->setEnabled(true);

    const QString documents = m_services.Desktop->DocumentsFolder() + PathSeparator();
    const QString folder = FolderPart(chosen, PathDelimiters());
    if (documents != folder)
        save_setting(kPath, folder);
    else
        delete_setting(kPath);
    return true;
}

void T_mainForm::take_command_line_file(const QString& path)
{
    const QString absolute = AbsolutePath(path);
    // Only a file that can be read is taken: the pass would otherwise fail on it after its five seconds.
    QString why;
    try {
        char first = 0;
        QString readError;
        ReadFileHead(absolute, &first, 1, &readError);
        if (!readError.isEmpty())
            why = QStringLiteral("Cannot read file \"%1\". %2").arg(absolute, readError);
    } catch (const EFOpenError& e) {
        why = QString::fromUtf8(e.what());
    }
    if (why.isEmpty() && !take_source(absolute))
        why = QStringLiteral("\"%1\" is not a file").arg(absolute);
    if (why.isEmpty())
        return;
    const QString line = QStringLiteral("File from the command line not taken. ") + why;
    add_log_line(line);
    qWarning().noquote() << line;
}

void T_mainForm::BrowseLabelClick()
{
    ShellService().Open(FolderPart(FixedFile, PathDelimiters()));
}

void T_mainForm::ChangeLabelClick()
{
    if (const auto moved = ChooseFixedFileFolder(*FolderDialog, FixedFile, PathDelimiters()))
        show_fixed_file(*moved);
}

void T_mainForm::SiteLabelClick()
{
    ShellService().Open(SiteLabel->text());
}

void T_mainForm::EmailLabelClick()
{
    ShellService().Open(QStringLiteral("mailto:") + Links::Email);
}

void T_mainForm::UndeleteLabelClick()
{
    ShellService().Open(Links::Undelete);
}
