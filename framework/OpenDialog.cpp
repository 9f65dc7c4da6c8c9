// SPDX-License-Identifier: MIT
#include "OpenDialog.h"

#include <QDataStream>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QTreeView>
#include <memory>
#include <optional>

namespace {

// Leads every kept state, so bytes of another kind or version restore nothing.
constexpr quint32 kStateTag = 0x514F4431;

struct TKeptState {
    QSize size;
    QByteArray dialog; // QFileDialog's own: splitter, sidebar, history, columns, view mode
};

std::optional<TKeptState> ReadState(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return std::nullopt;
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 tag = 0;
    TKeptState state;
    in >> tag >> state.size >> state.dialog;
    if (in.status() != QDataStream::Ok || tag != kStateTag || !state.size.isValid())
        return std::nullopt;
    return state;
}

QRect AvailableArea(const QWidget& widget)
{
    const QScreen* screen = widget.screen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

// The widest the content of `column` needs, its title included.
int ContentWidth(QTreeView& view, int column)
{
    const QAbstractItemView& items = view; // the hint is public there
    return qMax(items.sizeHintForColumn(column), view.header()->sectionSizeHint(column));
}

// Sizes the detail view's columns to the rows of the first folder listed, then widens the dialog
// until every column shows whole; on a screen too narrow for that, the name column gives way.
void FitColumns(QFileDialog& dialog)
{
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    if (!view)
        return; // a native dialog lays itself out
    QHeaderView* header = view->header();
    const int columns = header->count();
    int needed = 0;
    for (int c = 0; c < columns; ++c) {
        if (header->isSectionHidden(c))
            continue;
        const int width = ContentWidth(*view, c);
        if (c + 1 < columns || !header->stretchLastSection())
            header->resizeSection(c, width);
        needed += width;
    }
    const QScrollBar* bar = view->verticalScrollBar();
    const int chrome
        = view->width() - view->viewport()->width() + (bar->isVisible() ? 0 : bar->sizeHint().width());
    const int wider = needed + chrome - view->width();
    if (wider > 0) {
        const int frame = dialog.frameGeometry().width() - dialog.width();
        const int room = AvailableArea(dialog).width() - frame;
        dialog.resize(qMin(dialog.width() + wider, qMax(room, dialog.width())), dialog.height());
        // Grown to the right, it may now stand over the screen's edge.
        const QRect area = AvailableArea(dialog);
        const int over = dialog.frameGeometry().right() - area.right();
        if (over > 0)
            dialog.move(qMax(dialog.x() - over, area.left()), dialog.y());
    }
    const int spare = view->viewport()->width() - needed;
    if (spare < 0 && !header->isSectionHidden(0))
        header->resizeSection(0, qMax(header->sectionSize(0) + spare, header->minimumSectionSize()));
}

} // namespace

QStringList TOpenDialog::NameFilters() const
{
    QStringList result;
    const QStringList parts = Filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString pattern = p.trimmed();
            if (pattern.isEmpty())
                continue;
            // "*.*" means any file on Windows; a plain glob would skip names without a dot.
            patterns << (pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern);
        }
        result << QStringLiteral("%1 (%2)").arg(parts[i], patterns.join(QLatin1Char(' ')));
    }
    return result;
}

void TOpenDialog::Configure(QFileDialog& dialog) const
{
    dialog.setWindowTitle(Title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // The dialog lists only the names of the filters, as the user knows them.
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setOption(QFileDialog::ReadOnly, (Options & ofReadOnly) != 0);
    dialog.setSizeGripEnabled((Options & ofEnableSizing) != 0);
    const QStringList filters = NameFilters();
    dialog.setNameFilters(filters);
    if (!filters.isEmpty())
        dialog.selectNameFilter(filters.value(FilterIndex - 1, filters.first()));
    const std::optional<TKeptState> kept = ReadState(State);
    if (kept && dialog.restoreState(kept->dialog)) {
        dialog.resize(kept->size.boundedTo(AvailableArea(dialog).size()));
    } else {
        dialog.setViewMode(QFileDialog::Detail);
        if (auto* model = dialog.findChild<QFileSystemModel*>()) {
            // Fits once, to the folder the dialog opens in; later folders keep the user's widths.
            auto fitted = std::make_shared<bool>(false);
            QObject::connect(
                model, &QFileSystemModel::directoryLoaded, &dialog, [&dialog, fitted](const QString& path) {
                    if (*fitted || QDir(path) != dialog.directory())
                        return;
                    *fitted = true;
                    // The rows of the batch just listed are laid out when the events queued with it have run.
                    QTimer::singleShot(0, &dialog, [&dialog] { FitColumns(dialog); });
                });
        }
    }
    // After the restore, which would go back to the folder of the last run.
    if (!InitialDir.isEmpty())
        dialog.setDirectory(InitialDir);
}

void TOpenDialog::KeepState(const QFileDialog& dialog)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    out << kStateTag << dialog.size() << dialog.saveState();
    State = bytes;
}

bool TOpenDialog::Execute(QWidget* owner)
{
    QFileDialog dialog(owner);
    Configure(dialog);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    KeepState(dialog); // also when cancelled: the user may have only resized it
    if (!accepted || dialog.selectedFiles().isEmpty())
        return false;
    FileName = QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
    // With the details hidden the dialog reports the filter by its name alone.
    const QString selected = dialog.selectedNameFilter();
    const QStringList filters = NameFilters();
    for (qsizetype i = 0; i < filters.size(); ++i) {
        if (filters[i] == selected || filters[i].startsWith(selected + QStringLiteral(" ("))) {
            FilterIndex = int(i) + 1;
            break;
        }
    }
    return true;
}
