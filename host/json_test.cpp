// icehost's JSON text: the layout of a document, its strings and number forms, and the eval
// report's members in the order printed.
#include "json.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdint>
#include <string>

#include "report_json.h"

namespace {

using icehost::json_text;
using Json = nlohmann::ordered_json;

TEST(Json, QuotesControlCharactersAndFormatsShortestFloats) {
  EXPECT_EQ(icehost::json_quote(std::string("a\"\\\n\x01\x7F\0", 7)),
            "\"a\\\"\\\\\\u000a\\u0001\\u007f\\u0000\"");
  EXPECT_EQ(icehost::json_quote("\xE2\x86\x92"), "\"\xE2\x86\x92\"");
  EXPECT_EQ(json_text(1.36f), "1.36");
  EXPECT_EQ(json_text(4.6704993f), "4.6704993");
  EXPECT_EQ(json_text(-0.0f), "-0");
  EXPECT_EQ(json_text(3.4028235e38f), "3.4028235e+38");
  // JSON has no number for them: the texts, quoted.
  EXPECT_EQ(json_text(-INFINITY), "\"-inf\"");
  EXPECT_EQ(json_text(NAN), "\"nan\"");
}

TEST(Json, OneLineMembersInTheOrderAdded) {
  const Json document = {{"b", 1},
                         {"a", {true, nullptr, "x\n"}},
                         {"empty", Json::array()},
                         {"none", Json::object()},
                         {"limits", {4294967295u, -2147483648LL}}};
  EXPECT_EQ(json_text(document),
            "{\"b\": 1, \"a\": [true, null, \"x\\u000a\"], \"empty\": [], \"none\": {}, "
            "\"limits\": [4294967295, -2147483648]}");
  // Bytes that are not UTF-8, as a file name may hold, pass as they are.
  EXPECT_EQ(json_text(Json("a\xFF")), "\"a\xFF\"");
}

TEST(Json, EvalReportInThePrintedOrder) {
  icehost::EvaluationReport report;
  report.node = "n";
  report.port = 200;
  report.status = XSI::CStatus::Fail;
  report.written = {{0, true, {1.5f, -INFINITY}},
                    {2, true, {}},
                    {3, false, {std::wstring(L"\u00e9")}},
                    {4, false, {xsi_host::Value()}},
                    {5, false, {std::int32_t{-7}}}};
  report.faults = {"a \"fault\""};
  EXPECT_EQ(json_text(icehost::eval_json(report)),
            "{\"node\": \"n\", \"port\": 200, \"status\": 1, \"status_name\": \"failed\", "
            "\"written\": ["
            "{\"element\": 0, \"value\": [1.5, \"-inf\"]}, {\"element\": 2, \"value\": []}, "
            "{\"element\": 3, \"value\": \"\xC3\xA9\"}, {\"element\": 4, \"value\": null}, "
            "{\"element\": 5, \"value\": -7}], \"faults\": [\"a \\\"fault\\\"\"]}");
  // A successful call is not named: its document is as it always was.
  report.status = XSI::CStatus::OK;
  report.written.clear();
  report.faults.clear();
  EXPECT_EQ(json_text(icehost::eval_json(report)),
            "{\"node\": \"n\", \"port\": 200, \"status\": 0, \"written\": [], \"faults\": []}");
}

}  // namespace
