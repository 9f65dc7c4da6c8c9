// SPDX-License-Identifier: MIT
#include "Loadable.h"

#include <algorithm>

namespace {
// Components created during the innermost LoadForm still running; null outside any load.
thread_local std::vector<TLoadable*>* t_created = nullptr;
}

TLoadable::TLoadable()
{
    if (t_created) {
        m_loading = true;
        t_created->push_back(this);
    }
}

TLoadable::~TLoadable()
{
    // A component destroyed while its form is still loading must not be called back.
    if (t_created)
        std::erase(*t_created, this);
}

void LoadForm(const std::function<void()>& setup)
{
    std::vector<TLoadable*> created;
    std::vector<TLoadable*>* outer = t_created;
    t_created = &created;
    try {
        setup();
    } catch (...) {
        t_created = outer;
        for (TLoadable* c : created)
            c->m_loading = false;
        throw;
    }
    t_created = outer;
    for (TLoadable* c : created)
        c->m_loading = false;
    for (TLoadable* c : created)
        c->Loaded();
}
