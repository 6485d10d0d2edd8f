#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "app/RefCounted.h"

namespace {

std::atomic<int> g_alive{0};

class Tracked : public virtual RefCounted {
public:
    Tracked() { ++g_alive; }
    // A class may have its own Destroy without taking over the release.
    void Destroy() { destroyCalls++; }
    int destroyCalls = 0;

protected:
    ~Tracked() override { --g_alive; }
};

class OtherBase : public virtual RefCounted {};

// Two shared bases, one count.
class Both : public Tracked, public OtherBase {};

TEST(RefCounted, LastReleaseDestroysAndOnlyThen)
{
    g_alive = 0;
    {
        RefPtr<Tracked> a = MakeRef<Tracked>();
        EXPECT_EQ(a->RefCount(), 1);
        {
            RefPtr<Tracked> b = a;
            EXPECT_EQ(a->RefCount(), 2);
            b = a;  // same object: no change
            EXPECT_EQ(a->RefCount(), 2);
        }
        EXPECT_EQ(g_alive, 1);
        EXPECT_EQ(a->destroyCalls, 0);
    }
    EXPECT_EQ(g_alive, 0);
}

TEST(RefCounted, AssignmentReleasesTheOldObjectAndMovesDoNotCount)
{
    g_alive = 0;
    RefPtr<Tracked> a = MakeRef<Tracked>();
    RefPtr<Tracked> b = MakeRef<Tracked>();
    EXPECT_EQ(g_alive, 2);
    a = b;
    EXPECT_EQ(g_alive, 1);
    RefPtr<Tracked> c = std::move(a);
    EXPECT_FALSE(a);
    EXPECT_EQ(c->RefCount(), 2);
    c = nullptr;
    b = nullptr;
    EXPECT_EQ(g_alive, 0);
}

TEST(RefCounted, SeveralSharedBasesShareOneCount)
{
    g_alive = 0;
    RefPtr<Both> both = MakeRef<Both>();
    RefPtr<Tracked> asTracked = both;
    RefPtr<OtherBase> asOther = both;
    EXPECT_EQ(both->RefCount(), 3);
    both = nullptr;
    asTracked = nullptr;
    EXPECT_EQ(g_alive, 1);
    asOther = nullptr;
    EXPECT_EQ(g_alive, 0);
}

TEST(RefCounted, CountsAreSafeAcrossThreads)
{
    g_alive = 0;
    RefPtr<Tracked> shared = MakeRef<Tracked>();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([shared] {
            for (int i = 0; i < 100000; ++i) {
                RefPtr<Tracked> copy = shared;
                RefPtr<Tracked> another = copy;
            }
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(shared->RefCount(), 1);
    shared = nullptr;
    EXPECT_EQ(g_alive, 0);
}

}  // namespace
