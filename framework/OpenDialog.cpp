// SPDX-License-Identifier: MIT
#include "OpenDialog.h"

#include <QDir>
#include <QFileDialog>

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
    if (!InitialDir.isEmpty())
        dialog.setDirectory(InitialDir);
}

bool TOpenDialog::Execute(QWidget* owner)
{
    QFileDialog dialog(owner);
    Configure(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
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
