#include "service/json_document.h"

#include <gtest/gtest.h>

#include <chrono>

namespace dudivizo::service {
namespace {

const char kLogin[] = R"({"code":100,"msg":"abc","data":{"expiretime":"2020-06-06 14:21:15"}})";
const char kNodes[] =
    R"({"code":200,"data":[{"province":"广东","city":"深圳","status":0,"update_time":"1700000000"},)"
    R"({"province":"北京","city":"北京","status":-1,"update_time":1700000001}]})";

TEST(JsonParse, AcceptsJsonValuesOnly) {
  const struct {
    const char* text;
    bool ok;
  } cases[] = {
      {kLogin, true},
      {" [1, 2.5e3, true, false, null, \"x\"] ", true},
      {"\"text\"", true},
      {"0", true},
      {"", false},
      {"null", false},
      {"   ", false},
      {"alert(1)", false},
      {"(function(){return {}})()", false},
      {"{'single':1}", false},
      {"{\"a\":1,}", false},
      {"{\"a\":1} trailing", false},
      {R"({"code":100,"data":{"x")", false},  // truncated
      {"01", false},
      {"{\"a\":\"line\nbreak\"}", false},
  };
  for (const auto& c : cases) {
    JsonDocument doc;
    EXPECT_EQ(doc.parse(c.text), c.ok) << c.text;
  }
}

TEST(JsonParse, FailedParseLeavesNull) {
  JsonDocument doc;
  doc.setText("a", "x");
  EXPECT_FALSE(doc.parse("{bad"));
  EXPECT_EQ(doc.toText(), "null");
  EXPECT_EQ(doc.getText("a"), "");
}

TEST(JsonRead, LoginAnswer) {
  JsonDocument doc;
  ASSERT_TRUE(doc.parse(kLogin));
  EXPECT_EQ(doc.getReal("code"), 100);
  EXPECT_EQ(doc.getJson("data"), R"({"expiretime":"2020-06-06 14:21:15"})");
  EXPECT_EQ(doc.getJson("msg"), "\"abc\"");
  EXPECT_EQ(doc.getJson("missing"), "");
  EXPECT_EQ(doc.getText("data.expiretime"), "2020-06-06 14:21:15");
  EXPECT_EQ(doc.getReal(""), 0);  // an empty path is no expression
  EXPECT_EQ(doc.getText(""), "");
}

TEST(JsonRead, PathsIndexesAndTheBracketRule) {
  JsonDocument doc;
  ASSERT_TRUE(doc.parse(kNodes));
  EXPECT_EQ(doc.count("data"), 2);
  EXPECT_EQ(doc.count(""), 2);  // members of the whole document
  EXPECT_EQ(doc.getText("data[0].province"), "广东");
  EXPECT_EQ(doc.getText("data[1]['city']"), "北京");
  EXPECT_EQ(doc.getInt("data[1].status"), -1);
  EXPECT_EQ(doc.getText("data[1].update_time"), "1700000001");
  EXPECT_EQ(doc.getInt64("data[0].update_time"), 1700000000);
  EXPECT_EQ(doc.getText("data[5].city"), "");
  EXPECT_EQ(doc.getInt("data[x].status"), 0);
  EXPECT_EQ(doc.getText("data[0"), "");

  JsonDocument list;
  ASSERT_TRUE(list.parse(R"([{"city":"武汉"},{"city":"长沙"}])"));
  EXPECT_EQ(list.getText("[1].city"), "长沙");
  EXPECT_EQ(list.getJson("[0]"), R"({"city":"武汉"})");
  EXPECT_EQ(list.getDocument("[0]").getText("city"), "武汉");
  EXPECT_EQ(list.getInt("[0].city"), 0);  // the other operations always insert the dot
  EXPECT_EQ(list.elementText(1, "", true), R"({"city":"长沙"})");
  EXPECT_EQ(list.elementDocument(0).getText("city"), "武汉");
}

TEST(JsonRead, ConversionsBetweenKinds) {
  JsonDocument doc;
  ASSERT_TRUE(doc.parse(
      R"({"n":12.75,"neg":-3.9,"s":" 42 ","bad":"4x","t":true,"arr":[1,"a",null],"o":{},"big":1e300,)"
      R"("z":null})"));
  EXPECT_EQ(doc.getInt("n"), 12);
  EXPECT_EQ(doc.getInt("neg"), -3);
  EXPECT_EQ(doc.getInt("s"), 42);
  EXPECT_EQ(doc.getInt("bad"), 0);
  EXPECT_EQ(doc.getInt("big"), 0);
  EXPECT_EQ(doc.getInt64("big"), 0);
  EXPECT_TRUE(doc.getBool("t"));
  EXPECT_TRUE(doc.getBool("n"));
  EXPECT_FALSE(doc.getBool("z"));
  EXPECT_EQ(doc.getText("n"), "12.75");
  EXPECT_EQ(doc.getText("arr"), "1,a,");
  EXPECT_EQ(doc.getText("o"), "[object Object]");
  EXPECT_EQ(doc.getText("z"), "");
  EXPECT_EQ(doc.getJson("z"), "null");
  EXPECT_FALSE(doc.has("z"));
  EXPECT_TRUE(doc.has("o"));
  EXPECT_FALSE(doc.has("o.inner"));
}

TEST(JsonRead, TypeCodes) {
  JsonDocument doc;
  ASSERT_TRUE(doc.parse(R"({"s":"x","n":1,"o":{},"a":[],"b":false,"z":null})"));
  EXPECT_EQ(doc.typeOf("s"), JsonDocument::kString);
  EXPECT_EQ(doc.typeOf("n"), JsonDocument::kNumber);
  EXPECT_EQ(doc.typeOf("o"), JsonDocument::kObject);
  EXPECT_EQ(doc.typeOf("a"), JsonDocument::kArray);
  EXPECT_EQ(doc.typeOf("b"), JsonDocument::kObject);
  EXPECT_EQ(doc.typeOf("z"), JsonDocument::kAbsent);
  EXPECT_EQ(doc.typeOf("missing"), JsonDocument::kAbsent);
  EXPECT_EQ(doc.typeOf(), JsonDocument::kObject);
  EXPECT_EQ(doc.memberNames(),
            (std::vector<std::string>{"s", "n", "o", "a", "b", "z", "toJSONString", "parseJSON"}));
}

TEST(JsonWrite, CompactOutputInInsertionOrder) {
  JsonDocument doc;
  doc.setText("省份", "广东");
  doc.setInt("status", -1);
  doc.setReal("r", 0.5);
  doc.setInt64("t", 1700000000123);
  doc.setBool("yes", true);
  doc.setBool("no", false);
  doc.setMember("obj", "", true);
  doc.setMember("arr", "[1,{\"k\":\"v\"}]", true);
  doc.setMember("plain", "[1]", false);
  doc.setText("status", "0");  // replacing keeps the member's place
  EXPECT_EQ(doc.toText(),
            R"({"省份":"广东","status":"0","r":0.5,"t":1700000000123,"yes":"真","no":"假",)"
            R"("obj":{},"arr":[1,{"k":"v"}],"plain":"[1]"})");
  EXPECT_EQ(doc.getText("yes"), "真");
  EXPECT_EQ(doc.typeOf("yes"), JsonDocument::kString);
}

TEST(JsonWrite, TextsAreStoredExactly) {
  const char* texts[] = {"it's",      "back\\slash", "say \"hi\"", "line\nbreak",
                         "tab\there", "\x01control", "中文'\\\""};
  for (const char* text : texts) {
    JsonDocument doc;
    doc.setText("v", text);
    EXPECT_EQ(doc.getText("v"), text);
    JsonDocument again;
    ASSERT_TRUE(again.parse(doc.toText())) << doc.toText();
    EXPECT_EQ(again.getText("v"), text);
  }
  JsonDocument doc;
  doc.setText("v", "a\"b\\c\nd\x01");
  EXPECT_EQ(doc.toText(), R"({"v":"a\"b\\c\nd\u0001"})");
}

TEST(JsonWrite, NumbersAreWrittenLikeTheScriptLanguage) {
  const struct {
    double value;
    const char* text;
  } cases[] = {{100, "100"},
               {-0.0, "0"},
               {0.1, "0.1"},
               {1e21, "1e+21"},
               {1e20, "100000000000000000000"},
               {1.5e-7, "1.5e-7"},
               {0.000001, "0.000001"},
               {-2.5, "-2.5"},
               {123456.789, "123456.789"}};
  for (const auto& c : cases) {
    JsonDocument doc;
    doc.setReal("n", c.value);
    EXPECT_EQ(doc.getJson("n"), c.text);
  }
  JsonDocument doc;
  ASSERT_TRUE(doc.parse(R"({"u":"\u4e2d\ud83d\ude00\u0000x"})"));
  EXPECT_EQ(doc.getText("u"), std::string("中😀\0x", 9));
}

TEST(JsonWrite, SettersIgnoreWhatTheyCannotDo) {
  JsonDocument doc;
  ASSERT_TRUE(doc.parse(R"({"s":"text","a":[1]})"));
  const std::string before = doc.toText();
  doc.setText("missing.child", "x");  // the parent does not exist
  doc.setText("s.child", "x");        // a text has no members
  doc.setJson("j", "{bad json");
  doc.setText("", "x");
  doc.setText("[0]", "x");
  doc.setMember("m", "alert(1)", true);
  doc.setText("a[5000000]", "x");  // too far past the end
  EXPECT_EQ(doc.toText(), before);
  doc.setText("a[2]", "x");
  EXPECT_EQ(doc.getJson("a"), R"([1,null,"x"])");
}

TEST(JsonWrite, AppendMakesAnArrayFirst) {
  JsonDocument doc;
  doc.setText("data", "");
  doc.append(R"({"city":"深圳"})", "data", true);
  doc.append("plain", "data");
  doc.append("{not json", "data", true);
  EXPECT_EQ(doc.toText(), R"({"data":[{"city":"深圳"},"plain"]})");
  EXPECT_EQ(doc.count("data"), 2);
  doc.append("x", "fresh");  // a missing member becomes an array too
  EXPECT_EQ(doc.getJson("fresh"), R"(["x"])");

  JsonDocument root;
  root.append("1", "", true);
  root.append("two");
  EXPECT_EQ(root.toText(), R"([1,"two"])");
}

TEST(JsonWrite, RootOperations) {
  JsonDocument doc;
  doc.resetAs(JsonDocument::kArray);
  doc.setElement(0, "a");
  doc.setElement(2, "{\"k\":1}", true);
  EXPECT_EQ(doc.toText(), R"(["a",null,{"k":1}])");
  doc.removeElement(-1);
  EXPECT_EQ(doc.toText(), R"(["a",null])");
  doc.removeElement(0);
  doc.removeElement(7);
  EXPECT_EQ(doc.toText(), "[null]");
  doc.setRoot("text");
  EXPECT_EQ(doc.toText(), R"("text")");
  doc.setRoot("[1,2]", true);
  EXPECT_EQ(doc.count(), 2);
  doc.resetAs(9);
  EXPECT_EQ(doc.toText(), "[1,2]");
  doc.resetAs(0);
  EXPECT_EQ(doc.toText(), "{}");
  doc.setElement(3, "x");  // on an object the index is a member name
  EXPECT_EQ(doc.toText(), R"({"3":"x"})");
  doc.clear();
  EXPECT_EQ(doc.toText(), "{}");
}

TEST(JsonShare, CopiesShareOneValueUntilAParse) {
  JsonDocument a;
  JsonDocument b = a;
  a.setText("k", "v");
  EXPECT_EQ(b.getText("k"), "v");
  b.clear();
  EXPECT_EQ(a.toText(), "{}");
  JsonDocument detached = a.getDocument("x");
  EXPECT_EQ(detached.toText(), "null");
  a.setJson("x", R"({"y":1})");
  JsonDocument sub = a.getDocument("x");
  sub.setInt("y", 2);
  EXPECT_EQ(a.getInt("x.y"), 1);  // getDocument gives an independent copy
  ASSERT_TRUE(b.parse("[1]"));
  EXPECT_EQ(a.toText(), R"({"x":{"y":1}})");  // a parse starts a new value
}

TEST(JsonHostile, DuplicateKeysKeepFirstPlaceAndLastValue) {
  JsonDocument doc;
  std::string text = "{";
  for (int i = 0; i < 40; ++i) text += "\"k" + std::to_string(i) + "\":" + std::to_string(i) + ",";
  text += "\"k3\":\"last\",\"a\":1,\"a\":2}";
  ASSERT_TRUE(doc.parse(text));
  EXPECT_EQ(doc.count(""), 41);
  EXPECT_EQ(doc.getText("k3"), "last");
  EXPECT_EQ(doc.memberNames()[3], "k3");
  EXPECT_EQ(doc.getInt("a"), 2);
}

TEST(JsonHostile, DeepNestingIsRefusedWithoutCrashing) {
  std::string deep(100000, '[');
  deep += std::string(100000, ']');
  JsonDocument doc;
  EXPECT_FALSE(doc.parse(deep));
  std::string objects;
  for (int i = 0; i < 100000; ++i) objects += "{\"a\":";
  objects += "1" + std::string(100000, '}');
  EXPECT_FALSE(doc.parse(objects));
  std::string fine(500, '[');
  fine += std::string(500, ']');
  EXPECT_TRUE(doc.parse(fine));
}

TEST(JsonHostile, HugeAndBrokenBodies) {
  std::string big = R"({"code":200,"data":[)";
  while (big.size() < (100u << 20))
    big += R"({"city":"深圳深圳深圳深圳深圳深圳深圳深圳","n":12345},)";
  std::string truncated = big;
  big += R"({"city":"end"}]})";
  JsonDocument doc;
  ASSERT_TRUE(doc.parse(big));
  EXPECT_GT(doc.count("data"), 1'000'000);
  EXPECT_FALSE(doc.parse(truncated));
  EXPECT_FALSE(doc.parse(std::string("{\"a\":\"\xFF\xFE\x00\x01", 9)));
  EXPECT_FALSE(doc.parse(std::string(1000, '\0')));
}

}  // namespace
}  // namespace dudivizo::service
