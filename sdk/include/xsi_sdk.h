// The host SDK as the plug-ins see it: the classes and operations a node plug-in calls, in the
// host's own names (namespace XSI). This is the one SDK header a plug-in includes.
//
// Every operation is defined out of line in the SDK library, as in a real host SDK: a plug-in
// holds no SDK code of its own, so memory the SDK hands out is always freed by the SDK.
//
// Where the host's behaviour is left open, this SDK pins it down:
//  * Text is wchar_t (16-bit on Windows, 32-bit elsewhere); lengths and positions count
//    wchar_t. A text carries its length, so NUL is an ordinary character.
//  * The narrow form (GetAsciiString) has one byte per character, zero-terminated: a character
//    below 256 becomes that byte, any other becomes '?'.
//  * FindString is exact and case-sensitive; an empty sub-text occurs nowhere.
//  * Split drops empty pieces; an empty separator gives the whole text as one piece.
//  * Numbers read from text ignore the locale and surrounding white space; see CValue.
//  * An element index past an array's count reads as empty (an empty text, a null pointer,
//    false); a write there changes nothing. Both are recorded as faults the host reports.
//  * No operation throws. One that cannot get the memory it needs does nothing and answers
//    with what it gives when it fails: a failed status and null out-values, an empty text or
//    array, a null narrow form, a number read as 0. The host is told of every such refusal.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#if defined(_WIN32)
#if defined(XSI_SDK_BUILD)
#define XSI_SDK_API __declspec(dllexport)
#else
#define XSI_SDK_API __declspec(dllimport)
#endif
#else
#define XSI_SDK_API __attribute__((visibility("default")))
#endif

namespace xsi_host::detail {
struct SessionState;
struct NodeDefState;
struct EvaluationState;
}  // namespace xsi_host::detail

namespace XSI {

// Unsigned 32-bit on every platform: ids, counts, element and item indices. Spelled as each
// platform spells it: unsigned long is 32 bits on Windows, unsigned int elsewhere.
#if defined(_WIN32)
using ULONG = unsigned long;
#else
using ULONG = unsigned int;
#endif
static_assert(sizeof(ULONG) == 4);

// Returned by searches that find nothing, and the hole in a list-form index set.
inline constexpr ULONG kNotFound = 0xFFFFFFFF;

enum siICENodeDataType : ULONG {
  siICENodeDataBool = 1,
  siICENodeDataLong = 2,
  siICENodeDataFloat = 4,
  siICENodeDataString = 131072,
};

enum siICENodeStructureType : ULONG {
  siICENodeStructureSingle = 1,  // one value per element
  siICENodeStructureArray = 2,   // an array of items per element
};

enum siICENodeContextType : ULONG { siICENodeContextAny = 63 };

enum siSeverityType : ULONG {
  siFatalMsg = 1,
  siErrorMsg = 2,
  siWarningMsg = 4,
  siInfoMsg = 8,
  siVerboseMsg = 16,
};

class CString;
class CStringArray;
class CValue;

class XSI_SDK_API CStatus {
 public:
  // OK is success; any other code a failure: Fail, the work could not be done (the host lent
  // no array); MemoryUnavailable, memory ran out; Unexpected, anything else.
  enum Code : std::int32_t { OK = 0, Fail = 1, MemoryUnavailable = 2, Unexpected = 3 };

  CStatus(Code code = OK);
  Code GetCode() const;
  bool Succeeded() const;

  // On failure, records the failure with the message where the host can see it, then returns.
  void AssertSucceeded(const CString& message) const;

 private:
  Code code_;
};

class XSI_SDK_API CString {
 public:
  CString();
  CString(const wchar_t* text);  // zero-terminated
  CString(const wchar_t* text, ULONG length);
  // The text of a number: a float as the shortest text that reads back to the same 32-bit
  // value ("1.36", "-2", "1e+20", "-0", "inf", "nan"); an integer in plain decimal. A text value
  // gives its text, a boolean "true" or "false", an empty value the empty text.
  explicit CString(const CValue& value);
  CString(const CString& other);
  CString(CString&& other) noexcept;
  CString& operator=(const CString& other);
  CString& operator=(CString&& other) noexcept;
  ~CString();

  // Widens a zero-terminated narrow text, one character per byte (bytes 128-255 included).
  CString& operator=(const char* narrow);

  CString operator+(const CString& other) const;
  CString& operator+=(const CString& other);
  bool operator==(const CString& other) const;

  ULONG Length() const;
  bool IsEmpty() const;
  // The characters, followed by a terminating 0 that Length() does not count.
  const wchar_t* GetWideString() const;
  // The narrow form; owned by the text and valid until it next changes.
  const char* GetAsciiString() const;

  // Position of the first occurrence of sub at or after start, or kNotFound.
  ULONG FindString(const CString& sub, ULONG start = 0) const;
  // The non-empty pieces between non-overlapping occurrences of separator, scanned left to
  // right: "a,,b," split at "," gives "a", "b".
  CStringArray Split(const CString& separator) const;

 private:
  friend class CStringArray;
  // A text of chars, or std::bad_alloc: for the arrays, which hold every text or none.
  static CString copy_of(std::wstring_view chars);
  // Makes this the text chars, or, when there is not the memory, the empty text.
  void assign(std::wstring_view chars) noexcept;

  // Both are the SDK's storage, made and freed only by the SDK's own code: every member above
  // is defined in the library, never in a plug-in.
  std::wstring text_;
  mutable std::string narrow_;  // the narrow form once made; emptied by every change
};

class XSI_SDK_API CStringArray {
 public:
  CStringArray();
  CStringArray(const CStringArray& other);
  CStringArray& operator=(const CStringArray& other);
  ~CStringArray();

  long GetCount() const;
  const CString& operator[](long index) const;
  void Add(const CString& text);

 private:
  friend class CString;
  std::vector<CString> items_;
};

// A variant value: empty, boolean, 32-bit integer, 32-bit float or text.
//
// Reading a number from a text value is locale-independent: leading and trailing white space
// is ignored, and the longest decimal number at the start (sign, digits, point, exponent; also
// "inf" and "nan") is read; no number reads as 0. As a float it is correctly rounded to 32 bits
// (overflow gives an infinity); as an integer it is truncated toward zero and saturated to the
// 32-bit range (NaN gives 0). `long` is 64 bits on some platforms and 32 on others: every
// integer this class gives or takes stays within 32 bits, so results match everywhere.
class XSI_SDK_API CValue {
 public:
  enum DataType { siEmpty = 0, siBool = 1, siInt4 = 2, siFloat = 3, siString = 4 };

  CValue();
  CValue(bool value);
  CValue(int value);
  CValue(long value);  // saturated to the 32-bit range
  CValue(float value);
  CValue(const CString& value);
  CValue(const wchar_t* value);
  CValue(const CValue& other);
  CValue& operator=(const CValue& other);
  ~CValue();

  DataType GetType() const;
  operator float() const;
  operator long() const;
  operator bool() const;

 private:
  friend class CString;
  DataType type_;
  union {
    bool boolean;
    std::int32_t integer;
    float real;
  } number_;
  CString text_;
};

// ---- Registration ------------------------------------------------------------------------

class XSI_SDK_API CRef {
 public:
  CRef();

 private:
  friend class Factory;
  friend class ICENodeDef;
  xsi_host::detail::NodeDefState* node_;
};

class XSI_SDK_API SIObject {
 public:
  CString GetName() const;
  CStatus PutName(const CString& name);

 protected:
  explicit SIObject(xsi_host::detail::SessionState* session);
  xsi_host::detail::SessionState* session_;
};

class XSI_SDK_API PluginItem {
 public:
  PluginItem();
  CStatus PutCategories(const CString& categories);

 private:
  friend class PluginRegistrar;
  xsi_host::detail::NodeDefState* node_;
};

class XSI_SDK_API ICENodeDef {
 public:
  ICENodeDef();
  ICENodeDef& operator=(const CRef& ref);

  CStatus PutColor(int red, int green, int blue);
  CStatus AddPortGroup(ULONG id, ULONG minimum, ULONG maximum, const CString& name);
  CStatus AddInputPort(ULONG id, ULONG group, ULONG data_type, ULONG structure, ULONG context,
                       const CString& name, const CString& script_name, const CValue& default_value,
                       const CValue& minimum, const CValue& maximum, ULONG constraint1,
                       ULONG constraint2, ULONG constraint3);
  CStatus AddOutputPort(ULONG id, ULONG data_type, ULONG structure, ULONG context,
                        const CString& name, const CString& script_name, ULONG constraint1,
                        ULONG constraint2, ULONG constraint3);

 private:
  friend class PluginRegistrar;
  xsi_host::detail::NodeDefState* node_;
};

class XSI_SDK_API Factory {
 public:
  // A new node definition; its creation reports no status.
  CRef CreateICENodeDef(const CString& name, const CString& display_name) const;
};

class XSI_SDK_API Application {
 public:
  Factory GetFactory() const;
  // Records the line and its severity for the host, which decides where it is printed.
  CStatus LogMessage(const CString& message, siSeverityType severity = siInfoMsg) const;
};

class XSI_SDK_API PluginRegistrar : public SIObject {
 public:
  CStatus PutAuthor(const CString& author);
  CStatus PutVersion(ULONG major, ULONG minor);
  PluginItem RegisterICENode(const ICENodeDef& definition);

 private:
  friend struct xsi_host::detail::SessionState;
  explicit PluginRegistrar(xsi_host::detail::SessionState* session);
};

// ---- Evaluation --------------------------------------------------------------------------

// One port's data for one call, one value per element. Bound by an acquire, unbound by a release.
class XSI_SDK_API CBaseDataArray {
 public:
  CBaseDataArray();
  // The element count; 1 until the array is acquired.
  ULONG GetCount() const;
  // The elements of a numeric or boolean array, one after another (booleans as bits, element 0
  // in bit 0 of the first 32-bit word); null for text arrays and for an empty array.
  const void* GetData() const;
  // While set, element 0 stands for every element: the host hands over one value for all.
  bool IsConstant() const;

 private:
  friend class ICENodeContext;
  friend struct xsi_host::detail::EvaluationState;
  ULONG slot_;
  ULONG count_;
  const void* data_;
  bool constant_;
};

// One port's data for one call, an array of items per element.
class XSI_SDK_API CBaseDataArray2D {
 public:
  CBaseDataArray2D();
  ULONG GetCount() const;  // 1 until acquired
  // While set, slot 0 of every sub-array stands for all of its items, for reading and writing.
  bool IsConstant() const;

 private:
  friend class ICENodeContext;
  friend struct xsi_host::detail::EvaluationState;
  ULONG slot_;
  ULONG count_;
  bool constant_;
};

// The elements to evaluate, in one of three forms:
//  Range: the indices 0 to GetCount() - 1; GetData() is null.
//  Bits:  the set bits below the bit count GetCount(), in 32-bit words (index i is bit i % 32
//         of word i / 32).
//  List:  GetCount() stored entries, each an element index or the hole kNotFound.
class XSI_SDK_API CIndexSet {
 public:
  enum Form : ULONG { Range = 0, Bits = 1, List = 2 };

  CIndexSet();
  Form GetForm() const;
  ULONG GetCount() const;
  const ULONG* GetData() const;

 private:
  friend class ICENodeContext;
  ULONG slot_;
  Form form_;
  ULONG count_;
  const ULONG* data_;
};

// The host's view of one evaluation. Copies refer to the same evaluation. Every operation
// returns a status that a plug-in may ignore; misuse is recorded for the host instead of
// being committed (an element past the count, a release out of reverse order, an array never
// released).
class XSI_SDK_API ICENodeContext {
 public:
  ICENodeContext();

  ULONG GetEvaluatedOutputPortID() const;

  CStatus AcquireOutputDataArray(CBaseDataArray& array, ULONG data_type);
  CStatus AcquireOutputDataArray2D(CBaseDataArray2D& array, ULONG data_type);
  CStatus AcquireInputDataArray(CBaseDataArray& array, ULONG data_type, ULONG port, ULONG instance);
  CStatus AcquireInputDataArray2D(CBaseDataArray2D& array, ULONG data_type, ULONG port,
                                  ULONG instance);
  CStatus ReleaseDataArray(CBaseDataArray& array);
  CStatus ReleaseDataArray(CBaseDataArray2D& array);
  CStatus AcquireIndexSet(CIndexSet& set);
  CStatus ReleaseIndexSet(CIndexSet& set);

  // Element i of a text array: its characters and their count.
  CStatus GetStringData(const CBaseDataArray& array, ULONG i, const wchar_t*& out_text,
                        ULONG& out_length) const;
  // Sizes element i's text to length characters; out_buffer points at them.
  CStatus ResizeStringData(CBaseDataArray& array, ULONG i, ULONG length, wchar_t*& out_buffer);
  CStatus SetStringData(CBaseDataArray& array, ULONG i, const wchar_t* text, ULONG length);

  // Element i's items: pointer, count and the size of one item in bytes.
  CStatus GetSubArray(const CBaseDataArray2D& array, ULONG i, const void*& out_items,
                      ULONG& out_count, ULONG& out_item_size) const;
  // Sizes element i's sub-array to count items; out_items points at count writable items.
  CStatus ResizeSubArray(CBaseDataArray2D& array, ULONG i, ULONG count, void*& out_items,
                         ULONG& out_count, ULONG& out_item_size);
  CStatus ResizeStringData2D(CBaseDataArray2D& array, ULONG i, ULONG j, ULONG length,
                             wchar_t*& out_buffer);
  CStatus SetStringData2D(CBaseDataArray2D& array, ULONG i, ULONG j, const wchar_t* text,
                          ULONG length);

  // Beyond what the six nodes need: element i of a one-value boolean, integer or float output;
  // item j of element i of an array-per-element text input (GetSubArray gives its count).
  CStatus SetBooleanData(CBaseDataArray& array, ULONG i, bool value);
  CStatus SetIntegerData(CBaseDataArray& array, ULONG i, std::int32_t value);
  CStatus SetFloatData(CBaseDataArray& array, ULONG i, float value);
  CStatus GetStringData2D(const CBaseDataArray2D& array, ULONG i, ULONG j, const wchar_t*& out_text,
                          ULONG& out_length) const;

 private:
  friend struct xsi_host::detail::EvaluationState;
  // The evaluation the context refers to; a default-constructed context has one of its own.
  xsi_host::detail::EvaluationState& state() const;
  CStatus set_data(CBaseDataArray& array, ULONG i, ULONG data_type, std::uint32_t word,
                   const char* operation);
  xsi_host::detail::EvaluationState* evaluation_;
};

}  // namespace XSI
