// Failure-to-result mapping, property values and stream writing.
#include <gtest/gtest.h>

#include <stdexcept>

#include "base/Boundary.h"
#include "base/ComPtr.h"
#include "base/Errors.h"
#include "base/PropValue.h"
#include "base/Stream.h"
#include "tests/unit/support/Fakes.h"

namespace {

class DerivedArgument : public EArgumentException {};

TEST(ExceptionToResult, MapsEachFailureClass) {
  struct Case {
    std::function<void()> raise;
    HRESULT expected;
  } cases[] = {
      {[] { throw EOleSysError(E_FAIL); }, E_FAIL},
      {[] { throw EOleSysError(S_FALSE); }, S_FALSE},
      {[] { throw EOSError(5); }, static_cast<HRESULT>(0x80070005u)},
      {[] { throw EOSError(0x12345); }, static_cast<HRESULT>(0x80072345u)},
      {[] { throw EOSError(0); }, S_OK},
      {[] { throw EAbort(); }, static_cast<HRESULT>(0x800704C7u)},
      {[] { throw DerivedArgument(); }, E_INVALIDARG},
      {[] { throw EInvalidPointer(); }, E_POINTER},
      {[] { throw EOutOfMemory(); }, E_OUTOFMEMORY},
      {[] { throw std::bad_alloc(); }, E_OUTOFMEMORY},
      {[] { throw Exception("plain"); }, E_UNEXPECTED},
      {[] { throw std::runtime_error("foreign"); }, E_UNEXPECTED},
      {[] { throw 42; }, E_UNEXPECTED},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GuardMapped([&]() -> HRESULT {
                c.raise();
                return S_OK;
              }),
              c.expected);
  }
  EXPECT_EQ(ExceptionToResult(nullptr), E_UNEXPECTED);
}

TEST(CheckResult, PassesSuccessAndRaisesFailure) {
  EXPECT_EQ(CheckResult(S_FALSE), S_FALSE);
  EXPECT_EQ(CheckResult(S_OK), S_OK);
  try {
    CheckResult(E_FAIL);
    FAIL() << "no exception";
  } catch (const EOleSysError& e) {
    EXPECT_EQ(e.ErrorCode, E_FAIL);
  }
}

TEST(ClearPropValue, FreesStringsResetsPlainKindsRefusesOthers) {
  PropValueHolder text;
  text.Ptr()->vt = VT_BSTR;
  text.Ptr()->bstrVal = SysAllocString(KW("owned"));
  EXPECT_EQ(ClearPropValue(text.Ptr()), S_OK);
  EXPECT_EQ(text->vt, VT_EMPTY);
  EXPECT_EQ(text->bstrVal, nullptr);

  PROPVARIANT number{};
  number.vt = VT_UI8;
  number.uhVal.QuadPart = 77;
  EXPECT_EQ(ClearPropValue(&number), S_OK);
  EXPECT_EQ(number.vt, VT_EMPTY);
  EXPECT_EQ(number.uhVal.QuadPart, 77u);  // only the tag changes

  PROPVARIANT unknown{};
  unknown.vt = VT_UNKNOWN;
  EXPECT_EQ(ClearPropValue(&unknown), E_INVALIDARG);
  EXPECT_EQ(unknown.vt, VT_UNKNOWN);
}

TEST(WriteToStream, SplitsWritesAndCounts) {
  auto stream = ComPtr<fakes::OutStream>::Adopt(NewInterface<fakes::OutStream, fakes::OutStream>());
  stream->MaxPerWrite = 3;
  host::UInt32 processed = 99;
  EXPECT_EQ(WriteToStream(stream.Get(), "0123456789", 10, &processed), S_OK);
  EXPECT_EQ(stream->Calls, 4);
  EXPECT_EQ(processed, 10u);
  EXPECT_EQ(stream->Bytes, "0123456789");

  EXPECT_EQ(WriteToStream(stream.Get(), "", 0, &processed), S_OK);
  EXPECT_EQ(stream->Calls, 4);
  EXPECT_EQ(processed, 0u);
}

TEST(WriteToStream, ReportsStreamFaults) {
  struct Case {
    host::UInt32 maxPerWrite, extra;
    int failAt;
    HRESULT expected;
    host::UInt32 processed;
  } cases[] = {
      {4, 0, 2, static_cast<HRESULT>(0x80070070u), 4},  // the stream's own error, unchanged
      {4, 0, 2, S_FALSE, 4},                            // even a success other than S_OK ends it
      {0, 0, 0, S_FALSE, 0},                            // accepts nothing
      {4, 0, 0, S_OK, 10},
      {6, 5, 0, E_FAIL, 0},  // reports more than it was given
  };
  for (const auto& c : cases) {
    auto stream = ComPtr<fakes::OutStream>::Adopt(NewInterface<fakes::OutStream, fakes::OutStream>());
    stream->MaxPerWrite = c.maxPerWrite;
    stream->ExtraReported = c.extra;
    stream->FailAtCall = c.failAt;
    stream->FailWith = c.expected;
    host::UInt32 processed = 99;
    EXPECT_EQ(WriteToStream(stream.Get(), "0123456789", 10, &processed), c.expected);
    EXPECT_EQ(processed, c.processed);
  }
}

TEST(InterfacedObject, CountsAndAnswersItsInterfaces) {
  auto stream = NewInterface<fakes::OutStream, fakes::OutStream>();
  EXPECT_EQ(stream->RefCount(), 1);
  void* p = nullptr;
  EXPECT_EQ(stream->QueryInterface(IID_IUnknown, &p), S_OK);
  EXPECT_NE(p, nullptr);
  EXPECT_EQ(stream->RefCount(), 2);
  static_cast<IUnknown*>(p)->Release();
  p = reinterpret_cast<void*>(1);
  EXPECT_EQ(stream->QueryInterface(host::IHasher::iid, &p), E_NOINTERFACE);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(stream->Release(), 0u);  // destroyed; LeakSanitizer checks nothing is left
}

}  // namespace
