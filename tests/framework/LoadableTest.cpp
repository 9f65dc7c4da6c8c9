// SPDX-License-Identifier: MIT
#include "Loadable.h"

#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {

std::vector<int> g_order;

class Probe : public TLoadable {
public:
    explicit Probe(int id)
        : m_id(id)
    {
    }
    bool wasLoadingAtCreation = IsLoading();
    bool loadingSeenInLoaded = true;

protected:
    void Loaded() override
    {
        loadingSeenInLoaded = IsLoading();
        g_order.push_back(m_id);
    }

private:
    int m_id;
};

TEST(LoadForm, CallsLoadedInCreationOrderAfterSetup)
{
    g_order.clear();
    std::vector<std::unique_ptr<Probe>> probes;
    LoadForm([&] {
        for (int i = 1; i <= 3; ++i)
            probes.push_back(std::make_unique<Probe>(i));
        EXPECT_TRUE(g_order.empty());
        EXPECT_TRUE(probes[0]->IsLoading());
    });
    EXPECT_EQ(g_order, (std::vector<int> { 1, 2, 3 }));
    for (auto& p : probes) {
        EXPECT_TRUE(p->wasLoadingAtCreation);
        EXPECT_FALSE(p->loadingSeenInLoaded);
        EXPECT_FALSE(p->IsLoading());
    }
}

TEST(LoadForm, ComponentsOutsideALoadAreNeverMarked)
{
    Probe p(7);
    EXPECT_FALSE(p.wasLoadingAtCreation);
}

TEST(LoadForm, ComponentDestroyedDuringLoadIsNotCalledBack)
{
    g_order.clear();
    std::unique_ptr<Probe> kept;
    LoadForm([&] {
        auto gone = std::make_unique<Probe>(1);
        kept = std::make_unique<Probe>(2);
    });
    EXPECT_EQ(g_order, (std::vector<int> { 2 }));
}

TEST(LoadForm, NestedLoadFinishesItsOwnComponentsFirst)
{
    g_order.clear();
    std::vector<std::unique_ptr<Probe>> probes;
    LoadForm([&] {
        probes.push_back(std::make_unique<Probe>(1));
        LoadForm([&] { probes.push_back(std::make_unique<Probe>(2)); });
        probes.push_back(std::make_unique<Probe>(3));
    });
    EXPECT_EQ(g_order, (std::vector<int> { 2, 1, 3 }));
}

TEST(LoadForm, FailedSetupClearsTheMarkWithoutCallingLoaded)
{
    g_order.clear();
    std::unique_ptr<Probe> p;
    EXPECT_THROW(LoadForm([&] {
        p = std::make_unique<Probe>(1);
        throw std::runtime_error("bad form");
    }),
        std::runtime_error);
    EXPECT_FALSE(p->IsLoading());
    EXPECT_TRUE(g_order.empty());
}

} // namespace
