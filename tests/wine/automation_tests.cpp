// The automation services against the tests' own in-process server, one scenario per
// probe process. The server notes the DISPPARAMS each call carried ("saw": flags,
// argument count, then each argument in declared order as its VARIANT type and value,
// & marking a reference), so the log shows the caller's side and the server's side.
// Every scenario on one server ends by checking that the server's objects were all
// released.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "files.h"
#include "probe_runner.h"

namespace {

using namespace std::chrono_literals;
using Log = std::vector<std::string>;

constexpr char kProbe[] = "TRELLIMO_AUTOMATION_PROBE";
constexpr wchar_t kLibraryKey[] = L"TypeLib\\{C7864743-1450-4375-BF22-87CA9F9DFC84}";
constexpr wchar_t kRegisteredPathKey[] = L"TypeLib\\{C7864743-1450-4375-BF22-87CA9F9DFC84}\\1.0\\0\\win32";
constexpr char kAllReleased[] = "server objects all released";

using SelfRegistration = HRESULT(WINAPI*)();

std::wstring server_path() {
  return driver::windows_path(driver::program_from_environment("TRELLIMO_PROBE_SERVER"));
}

// Calls the server's DllRegisterServer or DllUnregisterServer.
HRESULT call_server_export(const char* name) {
  const HMODULE server = LoadLibraryW(server_path().c_str());
  if (server == nullptr) return HRESULT_FROM_WIN32(GetLastError());
  const auto entry = reinterpret_cast<SelfRegistration>(reinterpret_cast<void*>(GetProcAddress(server, name)));
  const HRESULT result = entry != nullptr ? entry() : E_NOTIMPL;
  FreeLibrary(server);
  return result;
}

Log run(const std::string& scenario) {
  const driver::ProbeRun run = driver::run_probe(kProbe, scenario);
  EXPECT_EQ(run.exit_code, 0u) << scenario;
  return support::lines_of(run.log);
}

bool library_registered() {
  HKEY key;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, kLibraryKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

std::wstring registered_library_path() {
  wchar_t path[MAX_PATH * 2] = {};
  LONG size = sizeof path;
  if (RegQueryValueW(HKEY_CLASSES_ROOT, kRegisteredPathKey, path, &size) != ERROR_SUCCESS) return L"";
  return path;
}

void forget_library() { RegDeleteTreeW(HKEY_CLASSES_ROOT, kLibraryKey); }

// The class is registered for the suite; every case starts and ends with the type
// library unregistered.
class Automation : public testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(call_server_export("DllRegisterServer"), S_OK); }
  static void TearDownTestSuite() { call_server_export("DllUnregisterServer"); }
  void SetUp() override { forget_library(); }
  void TearDown() override { forget_library(); }
};

// ---- parameters ----

// Values passed by reference are written back; values passed by value still reach a
// pointer parameter as references to shadows, but nothing comes back. A text that
// cannot become the parameter's type goes directly, and Invoke refuses it.
TEST_F(Automation, ByReferenceParametersWriteBackIntoTheCallersVariables) {
  EXPECT_EQ(run("by-reference"), (Log{
                                     "exchange empty error 0",
                                     "  number 15 text <abc>",
                                     "  saw flags 1 count 2: &I4 7, &BSTR 'abc'",
                                     "exchange by value empty error 0",
                                     "  saw flags 1 count 2: &I4 7, &BSTR 'abc'",
                                     "exchange text as number empty error -16",
                                     "  text abc",
                                     "  saw flags 1 count 2: BSTR 'abc', &BSTR '<abc>'",
                                     kAllReleased,
                                 }));
}

// [out] texts replace the old text; dates travel as VT_DATE both ways, and a date
// written back into an integer variable is converted (45003.5 rounds to even).
TEST_F(Automation, OutParametersAndDates) {
  EXPECT_EQ(run("out-parameters"), (Log{
                                       "produce empty error 0",
                                       "  number 1234 text made date 45292.75",
                                       "  saw flags 1 count 3: &I4 -1, &BSTR 'old text', &DATE 0",
                                       "later empty error 0",
                                       "  date 45003.5",
                                       "  saw flags 1 count 3: DATE 45000.5, I4 3, &DATE 0",
                                       "later into an integer empty error 0",
                                       "  number 45004",
                                       kAllReleased,
                                   }));
}

// A VARIANT* parameter gets VT_BYREF|VT_VARIANT pointing at the shadow; what the
// member leaves there is written back when it converts to the variable's type, and the
// variable is left alone when it does not ("5!" is no integer).
TEST_F(Automation, AVariantReferencePointsAtItsShadow) {
  EXPECT_EQ(run("variant-references"), (Log{
                                           "stamp text empty error 0",
                                           "  text abc!",
                                           "  saw flags 1 count 1: &VARIANT BSTR 'abc'",
                                           "stamp integer empty error 0",
                                           "  number 5",
                                           "  saw flags 1 count 1: &VARIANT I4 5",
                                           kAllReleased,
                                       }));
}

// Extra values of a [vararg] member travel one by one and oleaut32 gathers them into
// the array; without a parameter array, more values than parameters give -5.
TEST_F(Automation, AParameterArrayTakesTheExtraValues) {
  EXPECT_EQ(run("parameter-array"),
            (Log{
                "gather two empty error 0",
                "  saw flags 1 count 2: I4 1, I4 2 | first 1 rest I4 2",
                "gather four empty error 0",
                "  saw flags 1 count 4: I4 1, I4 2, BSTR 'c', BOOL -1 | first 1 rest I4 2 BSTR 'c' BOOL -1",
                "gather trailing omitted empty error 0",
                "  saw flags 1 count 2: I4 1, I4 2 | first 1 rest I4 2",
                "three into two empty error -5",
                kAllReleased,
            }));
}

// An omitted value in the middle is VT_ERROR DISP_E_PARAMNOTFOUND (0x80020004);
// trailing omitted values are not sent at all, and oleaut32 fills them in for the
// member. A required parameter cannot be missing.
TEST_F(Automation, OmittedValuesInTheMiddleAreSentAsMissing) {
  EXPECT_EQ(run("omitted-values"),
            (Log{
                "middle omitted empty error 0",
                "  saw flags 1 count 3: I4 1, ERROR 80020004, I4 3 | member saw I4 1, ERROR 80020004, I4 3",
                "trailing omitted empty error 0",
                "  saw flags 1 count 1: I4 1 | member saw I4 1, ERROR 80020004, ERROR 80020004",
                "all omitted empty error 0",
                "  saw flags 1 count 0: | member saw ERROR 80020004, ERROR 80020004, ERROR 80020004",
                "required omitted empty error -16",
                "  saw flags 1 count 2: ERROR 80020004, I4 2",
                "required missing empty error -9",
                kAllReleased,
            }));
}

// An object variable holding record data sends VT_RECORD, directly even to a
// by-reference record parameter, and a VT_RECORD result gives -8. The record is only
// lent: its text field is still the caller's after the call. (Wine 8's Invoke answers
// E_NOTIMPL for record parameters, hence -18 after the record arrived.)
TEST_F(Automation, RecordsTravelAsVtRecordAndDoNotComeBack) {
  EXPECT_EQ(run("records"), (Log{
                                "place record empty error -18",
                                "  saw flags 1 count 1: RECORD 5,6",
                                "record as a variant empty error -11",
                                "  saw flags 1 count 1: &VARIANT RECORD 5,6",
                                "record result empty error -8",
                                "label record empty error 0",
                                "  saw flags 1 count 1: RECORD 'kept' 8 | member saw RECORD 'kept' 8",
                                "  the caller's label 'kept' 8",
                                kAllReleased,
                            }));
}

// ---- objects ----

// An object goes to an IDispatch parameter as VT_DISPATCH through the put-by-reference
// form (flags 8), an empty one as a null VT_UNKNOWN; an object result comes back as a
// new object record holding the same object. A text result is no object: -8.
TEST_F(Automation, ObjectsTravelBothWays) {
  EXPECT_EQ(run("object-values"), (Log{
                                      "partner true error 0",
                                      "  saw flags 8 count 1: DISPATCH object named -3",
                                      "partner object error 0",
                                      "narrow on the partner empty error 0",
                                      "  saw flags 1 count 1: I4 9 | member saw 9",
                                      "empty partner true error 0",
                                      "  saw flags 8 count 1: UNKNOWN null named -3",
                                      "name true error 0",
                                      "  saw flags 4 count 1: BSTR 'probe' named -3",
                                      "name as an object empty error -8",
                                      kAllReleased,
                                  }));
}

// Properties the type information holds as variables: a put sends one value, with
// flags 4 for a number and 8 for an IDispatch; a method reads the variable (flags 2)
// and takes no values.
TEST_F(Automation, VariablesArePutAndReadAsProperties) {
  EXPECT_EQ(run("variable-members"), (Log{
                                         "fields object error 0",
                                         "count true error 0",
                                         "  saw flags 4 count 1: I4 5 named -3",
                                         "count as text true error 0",
                                         "  saw flags 4 count 1: BSTR '12' named -3",
                                         "count with two values false error -5",
                                         "link true error 0",
                                         "  saw flags 8 count 1: DISPATCH object named -3",
                                         "count read empty error -8",
                                         "  saw flags 2 count 0:",
                                         "count read with a value empty error -5",
                                         "link object error 0",
                                         "narrow on the link empty error 0",
                                         "  saw flags 1 count 1: I4 4 | member saw 4",
                                         kAllReleased,
                                     }));
}

TEST_F(Automation, ObjectsThatCannotBeDispatched) {
  EXPECT_EQ(run("unusable-objects"), (Log{
                                         "plain object error 0",
                                         "method of an object without IDispatch empty error -2",
                                         "blind object error 0",
                                         "method of an object without type information empty error -4",
                                         "method of an empty variable empty error -1",
                                         "unknown method empty error -3",
                                         kAllReleased,
                                     }));
}

// ---- failures ----

// Each HRESULT Invoke may answer has its code; the real ones come from oleaut32's
// coercions. An argument of a type automation cannot carry stops the call before
// Invoke: the server still shows the call before it.
TEST_F(Automation, InvokeFailuresMapToTheirCodes) {
  EXPECT_EQ(run("invoke-failures"), (Log{
                                        "invoke answered 0x8002000E empty error -9",
                                        "invoke answered 0x80020008 empty error -10",
                                        "invoke answered 0x80020009 empty error -11",
                                        "invoke answered 0x80020003 empty error -12",
                                        "invoke answered 0x80020007 empty error -13",
                                        "invoke answered 0x8002000A empty error -14",
                                        "invoke answered 0x80020004 empty error -15",
                                        "invoke answered 0x80020005 empty error -16",
                                        "invoke answered 0x8002000F empty error -17",
                                        "invoke answered 0x80004005 empty error -18",
                                        "member failed empty error -11",
                                        "too large for a short empty error -14",
                                        "text for a number empty error -16",
                                        "  saw flags 1 count 2: BSTR 'abc', I4 1",
                                        "byte array empty error -7",
                                        "  saw flags 1 count 2: BSTR 'abc', I4 1",
                                        kAllReleased,
                                    }));
}

// A member without a result yields an empty object, and nothing failed.
TEST_F(Automation, AMemberWithoutAResultYieldsAnEmptyObject) {
  EXPECT_EQ(run("nothing-returned"), (Log{
                                         "too large for a short empty error -14",
                                         "nothing returned empty error 0",
                                         kAllReleased,
                                     }));
}

// ---- creation through the type library ----

// "ProbeServer" is the coclass's name in the library and no ProgID, so an object can
// only have come from the library.
const Log kCreatedFromLibrary = {
    "created object",
    "narrow empty error 0",
    "  saw flags 1 count 1: I4 2 | member saw 2",
};

TEST_F(Automation, ALibraryNamedWithoutAFolderIsLoadedButNotRegistered) {
  EXPECT_EQ(run("library-by-name"), kCreatedFromLibrary);
  EXPECT_FALSE(library_registered());
}

TEST_F(Automation, ALibraryNamedByItsFullPathIsRegistered) {
  EXPECT_EQ(run("library-by-path"), kCreatedFromLibrary);
  EXPECT_TRUE(library_registered());
  EXPECT_EQ(registered_library_path(), server_path());
}

// ---- leaks ----

// A round makes two servers and a record and calls every kind of member ten times;
// 1,800 more rounds may hold at most 4 more handles and 128 KB more private memory
// than the first 200 did, and leave no server object alive.
TEST_F(Automation, ThousandsOfCallsKeepHandlesAndMemoryFlat) {
  driver::Probe probe(kProbe, "many-calls");
  ASSERT_EQ(probe.process().wait_for_exit(180s), 0u);
  const Log log = support::lines_of(probe.log());
  EXPECT_EQ(driver::usage_growth_beyond(log, "after 200", "after 2000", 4, 128 * 1024), "");
  EXPECT_EQ(log.back(), kAllReleased);
}

}  // namespace
