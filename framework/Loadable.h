// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <vector>

// A component whose stored values take effect once its form has been read. While a form loads,
// every TLoadable created is marked as loading; afterwards LoadForm calls Loaded() on each in
// creation order and clears the mark.
class TLoadable {
public:
    TLoadable();
    virtual ~TLoadable();
    TLoadable(const TLoadable&) = delete;
    TLoadable& operator=(const TLoadable&) = delete;

    bool IsLoading() const { return m_loading; }

protected:
    // Called once after the form's definition has been applied; the mark is already cleared.
    virtual void Loaded() { }

private:
    friend void LoadForm(const std::function<void()>& setup);
    bool m_loading = false;
};

// Runs `setup` (typically Ui::setupUi) with the loading mark set for every component it creates,
// then calls their Loaded() in creation order. Nested loads are allowed.
void LoadForm(const std::function<void()>& setup);
