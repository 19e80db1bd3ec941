#include <windows.h>

#include <gtest/gtest.h>

#include <utility>

#include "platform/win32/UniqueHandles.h"

namespace nimbral::win32 {
namespace {

TEST(SelectObjectRestorer, PutsBackWhatTheSelectionReplacedOnceOnly) {
    const UniqueHdc dc(::CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc);
    const HGDIOBJ original = ::GetCurrentObject(dc.get(), OBJ_FONT);
    const UniqueHfont first(::CreateFontA(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"));
    const UniqueHfont second(::CreateFontA(20, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"));
    {
        SelectObjectRestorer outer(dc.get(), first.get());
        EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_FONT), first.get());
        {
            SelectObjectRestorer inner(dc.get(), second.get());
            EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_FONT), second.get());
        }
        EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_FONT), first.get());

        // Moved, it restores once, from its new owner.
        SelectObjectRestorer moved = std::move(outer);
        outer.reset();
        EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_FONT), first.get());
        moved.reset();
        EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_FONT), original);
    }
    EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_FONT), original);

    // A selection that failed leaves nothing to restore.
    SelectObjectRestorer failed(dc.get(), nullptr);
    failed.reset();
    EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_FONT), original);
}

// Counts its references the way every COM object does.
class Counted final : public IUnknown {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    ULONG references = 1;
};

TEST(ComPtr, ReleasesTheReferenceItHoldsExactlyOnce) {
    Counted object;
    {
        ComPtr<Counted> held(&object);
        ComPtr<Counted> moved(std::move(held));
        EXPECT_FALSE(held);
        EXPECT_EQ(moved.get(), &object);
        ComPtr<Counted> assigned;
        assigned = std::move(moved);
        EXPECT_EQ(object.references, 1u);
    }
    EXPECT_EQ(object.references, 0u);

    Counted other;
    ComPtr<Counted> slot(&other);
    object.references = 1;
    *slot.put() = &object;  // put() lets go of what was held first
    EXPECT_EQ(other.references, 0u);
    EXPECT_EQ(slot.release(), &object);
    EXPECT_EQ(object.references, 1u);
}

TEST(OleInitialization, UndoesOnlyWhatItDid) {
    {
        OleInitialization ole;
        ASSERT_TRUE(ole.Succeeded());
        // Nested on the same thread: both count, both are undone.
        OleInitialization nested;
        EXPECT_TRUE(nested.Succeeded());
    }
    // All undone: the thread can now enter a multithreaded apartment, which it could not while OLE's
    // single-threaded one was up.
    const HRESULT result = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    EXPECT_EQ(result, S_OK);
    if (SUCCEEDED(result))
        ::CoUninitialize();
}

}  // namespace
}  // namespace nimbral::win32
