// SPDX-License-Identifier: MIT
// Keeping the panel's position between runs.
#include "AdvPanel.h"

#include "ValueStore.h"

#include <algorithm>

using namespace AdvPanel;

namespace {

std::unique_ptr<TValueStore> OpenPositionStore(const TPanelPosition& position)
{
    return position.Location() == clInifile ? OpenIniFile(position.Key()) : OpenUserStore(position.Key());
}

} // namespace

void TCustomAdvPanel::SavePosition()
{
    if (FPosition->Key().isEmpty() || FPosition->Section().isEmpty())
        return;
    const std::unique_ptr<TValueStore> store = OpenPositionStore(*FPosition);
    const QString section = FPosition->Section();
    store->WriteInteger(section, QStringLiteral("Top"), y());
    store->WriteInteger(section, QStringLiteral("Left"), x());
    store->WriteInteger(section, QStringLiteral("Height"), height());
    store->WriteInteger(section, QStringLiteral("FullHeight"), FFullHeight);
    store->WriteInteger(section, QStringLiteral("Width"), width());
    store->WriteInteger(section, QStringLiteral("Collaps"), FCollaps ? 1 : 0);
    store->Flush();
}

void TCustomAdvPanel::LoadPosition()
{
    if (FPosition->Key().isEmpty() || FPosition->Section().isEmpty())
        return;
    const std::unique_ptr<TValueStore> store = OpenPositionStore(*FPosition);
    const QString section = FPosition->Section();
    // The store may have been edited or damaged.
    auto read = [&](const char* name, int current, int low) {
        return std::clamp(store->ReadInteger(section, QLatin1String(name), current), low, kMaxExtent);
    };
    const int top = read("Top", y(), -kMaxExtent);
    const int left = read("Left", x(), -kMaxExtent);
    const int h = read("Height", height(), 0);
    const int w = read("Width", width(), 0);
    SetBounds(left, top, w, h);
    RecordFullHeight();
    const bool collapsed = store->ReadInteger(section, QStringLiteral("Collaps"), FCollaps ? 1 : 0) == 1;
    // The stored size is already the collapsed one: no animation.
    m_animate = false;
    setCollaps(collapsed);
    m_animate = true;
    FFullHeight = read("FullHeight", FCaption->Position() == cpTop ? height() : width(), 0);
    NotifyState();
}
