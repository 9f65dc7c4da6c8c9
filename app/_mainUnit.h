// SPDX-License-Identifier: MIT
#pragma once

#include "AdvPanelStyler.h"
#include "ExeInfo.h"
#include "FolderDialog.h"
#include "HTMLabel.h"
#include "OpenDialog.h"
#include "Services.h"
#include "ui__mainForm.h"

#include <QWidget>

class T_manualForm;

// The main window: the choice of the damaged file and of the output, and the repair pass.
//
// Stand-ins until their controls land (each used only through text, enabled state and position, so
// the swap is the widget class in _mainForm.ui): the pictures are empty labels.
class T_mainForm : public QWidget, public Ui::_mainForm {
    Q_OBJECT

public:
    explicit T_mainForm(const TServices& services, QWidget* parent = nullptr);
    ~T_mainForm() override;

    TAdvPanelStyler* MainAdvPanelStyler = nullptr;
    TOpenDialog* OpenDialog = nullptr;
    TFolderDialog* FolderDialog = nullptr;
    TExeInfo* ExeInfo = nullptr;

    // The offer dialog the pass shows when the file holds data; none, no offer.
    void SetManualForm(T_manualForm* form) { m_manualForm = form; }

    // Process-wide values of the front end.
    bool StopRequested = false;
    QString FixedFile; // full path of the proposed output; written only by set_fixed_file
    QString DocumentsFolder; // fetched at creation, no trailing separator

    void FormCreate();
    void FormActivate();
    void set_start();
    QString set_fixed_file(const QString& path, int limit, int head, int tail);
    // Stores `path` as the fixed-file path and shows it, shortened, in the output preview.
    void show_fixed_file(const QString& path);
    QString make_fixed_name(const QString& source);
    void set_controls_state(const QString& caption, bool enabled);
    void add_log_line(const QString& text);
    qint64 get_file_size(const QString& path);
    // True when the first 40960 bytes of the file hold one byte value (or none). Throws EFOpenError
    // when the file cannot be opened and std::runtime_error when it cannot be read.
    bool is_uniform_file(const QString& path);
    // Takes `chosen` as the source, as the chooser does with the name the user picked: the source field,
    // the output name, "change" and "browse", the remembered folder. False, and nothing changes, when
    // it does not name an existing file.
    bool take_source(const QString& chosen);
    // The file named on the command line, taken as if the user had chosen it with "..."; when it
    // cannot be read it is not taken and one log line says why.
    void take_command_line_file(const QString& path);
    void save_setting(const QString& name, const QString& value);
    // The chooser's kept layout from the settings store; empty when none or unreadable.
    QByteArray read_chooser_state();
    // Stores the chooser's layout when a run of it changed it.
    void keep_chooser_state();
    void delete_setting(const QString& name);

    void StartBitBtnClick();
    void ChangeSpeedButtonClick();
    void BrowseLabelClick();
    void SiteLabelClick();
    void EmailLabelClick();
    void UndeleteLabelClick();
    void ChangeLabelClick();

    // The window caption set at each activation.
    QString CaptionText() const;

    static constexpr int HeadSize = 40960;
    static constexpr int PassSteps = 101;
    static constexpr int StepMilliseconds = 50;
    // The output preview shows a path of more than PreviewLimit characters as its first PreviewHead
    // and last PreviewTail characters around " ... ".
    static constexpr int PreviewLimit = 100;
    static constexpr int PreviewHead = 45;
    static constexpr int PreviewTail = 45;

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    TServices m_services;
    T_manualForm* m_manualForm = nullptr;
    // The window was closed, or the application told to end, while a pass ran: the pass ends at once.
    bool m_closing = false;
    QByteArray m_storedChooserState; // the chooser's layout as the settings store holds it
};
