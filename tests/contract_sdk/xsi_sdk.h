// A contract-only SDK, for a check and nothing else: the host SDK's classes with the operations
// the host contract names and no others, each in the strictest spelling the contract allows.
// Constructors are explicit wherever the contract needs no conversion, arrays are passed by
// non-const reference, out-values are those the contract lists, and no argument has a default.
// Every plug-in source is compiled against it (syntax only, tests/CMakeLists.txt), so a use of
// anything the contract does not give fails the build.
//
// What the contract describes without naming (an array's element count, constant flag and data,
// an index set's form, count and entries, status codes, the log's severity) is spelled here as
// no SDK would spell it, Unnamed...: only the binding file of this folder reaches it, as only
// the frame's own binding file may reach what the stand-in SDK names.
#pragma once

namespace XSI {

namespace unnamed {
// Unsigned 32-bit, as the host's platform spells it.
#if defined(_WIN32)
using U32 = unsigned long;
#else
using U32 = unsigned int;
#endif
}  // namespace unnamed

class CString;
class CStringArray;
class CValue;
class ICENodeDef;
class PluginItem;

class CStatus {
 public:
  enum UnnamedCode { UnnamedSuccess = 0, UnnamedFailure = 1 };
  explicit CStatus(UnnamedCode code);
  CStatus(const CStatus& other);
  CStatus& operator=(const CStatus& other);
  ~CStatus();

  void AssertSucceeded(const CString& message) const;
  UnnamedCode UnnamedCodeOf() const;
};

class CString {
 public:
  CString();
  explicit CString(const wchar_t* text);
  explicit CString(const wchar_t* text, unnamed::U32 length);
  explicit CString(const CValue& value);
  CString(const CString& other);
  CString& operator=(const CString& other);
  ~CString();

  CString& operator=(const char* narrow);
  CString operator+(const CString& other) const;

  unnamed::U32 Length() const;
  bool IsEmpty() const;
  const wchar_t* GetWideString() const;
  const char* GetAsciiString() const;
  unnamed::U32 FindString(const CString& sub, unnamed::U32 start) const;
  CStringArray Split(const CString& separator) const;
};

class CStringArray {
 public:
  CStringArray(const CStringArray& other);
  CStringArray& operator=(const CStringArray& other);
  ~CStringArray();

  long GetCount() const;
  const CString& operator[](long index) const;
};

class CValue {
 public:
  CValue();
  explicit CValue(bool value);
  explicit CValue(int value);
  explicit CValue(long value);
  explicit CValue(float value);
  explicit CValue(const wchar_t* value);
  explicit CValue(const CString& value);
  CValue(const CValue& other);
  CValue& operator=(const CValue& other);
  ~CValue();

  explicit operator float() const;
  explicit operator long() const;
};

// ---- Registration ------------------------------------------------------------------------

class CRef {
 public:
  CRef(const CRef& other);
  ~CRef();
};

class SIObject {
 public:
  CString GetName() const;
  CStatus PutName(const CString& name);
};

class PluginItem {
 public:
  PluginItem(const PluginItem& other);
  ~PluginItem();
  CStatus PutCategories(const CString& categories);
};

class ICENodeDef {
 public:
  ICENodeDef();
  ~ICENodeDef();
  ICENodeDef& operator=(const CRef& ref);

  CStatus PutColor(unnamed::U32 red, unnamed::U32 green, unnamed::U32 blue);
  CStatus AddPortGroup(unnamed::U32 id, unnamed::U32 minimum, unnamed::U32 maximum,
                       const CString& name);
  CStatus AddInputPort(unnamed::U32 id, unnamed::U32 group, unnamed::U32 data_type,
                       unnamed::U32 structure, unnamed::U32 context, const CString& name,
                       const CString& script_name, const CValue& default_value,
                       const CValue& minimum, const CValue& maximum, unnamed::U32 constraint1,
                       unnamed::U32 constraint2, unnamed::U32 constraint3);
  CStatus AddOutputPort(unnamed::U32 id, unnamed::U32 data_type, unnamed::U32 structure,
                        unnamed::U32 context, const CString& name, const CString& script_name,
                        unnamed::U32 constraint1, unnamed::U32 constraint2,
                        unnamed::U32 constraint3);
};

class Factory {
 public:
  Factory(const Factory& other);
  ~Factory();
  CRef CreateICENodeDef(const CString& name, const CString& display_name) const;
};

class Application {
 public:
  enum UnnamedSeverity : unnamed::U32 {};
  Application();
  ~Application();
  Factory GetFactory() const;
  CStatus LogMessage(const CString& message, UnnamedSeverity severity) const;
};

class PluginRegistrar : public SIObject {
 public:
  CStatus PutAuthor(const CString& author);
  CStatus PutVersion(unnamed::U32 major, unnamed::U32 minor);
  PluginItem RegisterICENode(const ICENodeDef& definition);
};

// ---- Evaluation --------------------------------------------------------------------------

class CBaseDataArray {
 public:
  CBaseDataArray();
  ~CBaseDataArray();
  unnamed::U32 UnnamedElementCount() const;
  const void* UnnamedData() const;
  bool UnnamedIsConstant() const;
};

class CBaseDataArray2D {
 public:
  CBaseDataArray2D();
  ~CBaseDataArray2D();
  unnamed::U32 UnnamedElementCount() const;
  bool UnnamedIsConstant() const;
};

class CIndexSet {
 public:
  enum UnnamedForm { UnnamedRange, UnnamedBits, UnnamedList };
  CIndexSet();
  ~CIndexSet();
  UnnamedForm UnnamedFormOf() const;
  unnamed::U32 UnnamedCount() const;
  const unnamed::U32* UnnamedEntries() const;
};

class ICENodeContext {
 public:
  ICENodeContext(const ICENodeContext& other);
  ICENodeContext& operator=(const ICENodeContext& other);
  ~ICENodeContext();

  unnamed::U32 GetEvaluatedOutputPortID();

  CStatus AcquireOutputDataArray(CBaseDataArray& array, unnamed::U32 data_type);
  CStatus AcquireOutputDataArray2D(CBaseDataArray2D& array, unnamed::U32 data_type);
  CStatus AcquireInputDataArray(CBaseDataArray& array, unnamed::U32 data_type, unnamed::U32 port,
                                unnamed::U32 instance);
  CStatus AcquireInputDataArray2D(CBaseDataArray2D& array, unnamed::U32 data_type,
                                  unnamed::U32 port, unnamed::U32 instance);
  CStatus ReleaseDataArray(CBaseDataArray& array);
  CStatus ReleaseDataArray(CBaseDataArray2D& array);
  CStatus AcquireIndexSet(CIndexSet& set);
  CStatus ReleaseIndexSet(CIndexSet& set);

  CStatus GetStringData(CBaseDataArray& array, unnamed::U32 i, wchar_t*& text,
                        unnamed::U32& length);
  CStatus ResizeStringData(CBaseDataArray& array, unnamed::U32 i, unnamed::U32 length,
                           wchar_t*& buffer);
  CStatus SetStringData(CBaseDataArray& array, unnamed::U32 i, const wchar_t* text,
                        unnamed::U32 length);
  CStatus GetSubArray(CBaseDataArray2D& array, unnamed::U32 i, void*& items, unnamed::U32& count,
                      unnamed::U32& item_size);
  CStatus ResizeSubArray(CBaseDataArray2D& array, unnamed::U32 i, unnamed::U32 count, void*& items,
                         unnamed::U32& out_count, unnamed::U32& item_size);
  CStatus ResizeStringData2D(CBaseDataArray2D& array, unnamed::U32 i, unnamed::U32 j,
                             unnamed::U32 length, wchar_t*& buffer);
  CStatus SetStringData2D(CBaseDataArray2D& array, unnamed::U32 i, unnamed::U32 j,
                          const wchar_t* text, unnamed::U32 length);

  // Beyond the six nodes' contract: what nodes of other shapes need.
  CStatus UnnamedSetData(CBaseDataArray& array, unnamed::U32 i, bool value);
  CStatus UnnamedSetData(CBaseDataArray& array, unnamed::U32 i, int value);
  CStatus UnnamedSetData(CBaseDataArray& array, unnamed::U32 i, float value);
  CStatus UnnamedGetStringData2D(CBaseDataArray2D& array, unnamed::U32 i, unnamed::U32 j,
                                 wchar_t*& text, unnamed::U32& length);
};

}  // namespace XSI
