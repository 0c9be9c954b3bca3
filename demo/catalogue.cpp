#include "demo/catalogue.h"

#include "platform/text.h"
#include "service/json_document.h"

namespace dudivizo::demo {
namespace {

struct City {
  const char* name;
  const char* code;
};

struct Province {
  const char* name;    // as the service names it
  const char* short_;  // as locations name it
  const char* code;
  City cities[3];
};

const Province kProvinces[] = {
    {"北京市", "北京", "bj", {{"北京", "bj"}, {"朝阳", "cy"}, {"海淀", "hd"}}},
    {"天津市", "天津", "tj", {{"天津", "tj"}, {"滨海", "bh"}, {"武清", "wq"}}},
    {"河北省", "河北", "he", {{"石家庄", "sjz"}, {"唐山", "ts"}, {"保定", "bd"}}},
    {"山西省", "山西", "sx", {{"太原", "ty"}, {"大同", "dt"}, {"运城", "yc"}}},
    {"内蒙古自治区", "内蒙古", "nm", {{"呼和浩特", "hhht"}, {"包头", "bt"}, {"赤峰", "cf"}}},
    {"辽宁省", "辽宁", "ln", {{"沈阳", "sy"}, {"大连", "dl"}, {"鞍山", "as"}}},
    {"吉林省", "吉林", "jl", {{"长春", "cc"}, {"吉林", "jl"}, {"延边", "yb"}}},
    {"黑龙江省", "黑龙江", "hl", {{"哈尔滨", "hrb"}, {"大庆", "dq"}, {"齐齐哈尔", "qqhe"}}},
    {"上海市", "上海", "sh", {{"上海", "sh"}, {"浦东", "pd"}, {"松江", "sj"}}},
    {"江苏省", "江苏", "js", {{"南京", "nj"}, {"苏州", "sz"}, {"无锡", "wx"}}},
    {"浙江省", "浙江", "zj", {{"杭州", "hz"}, {"宁波", "nb"}, {"温州", "wz"}}},
    {"安徽省", "安徽", "ah", {{"合肥", "hf"}, {"芜湖", "wh"}, {"蚌埠", "bb"}}},
    {"福建省", "福建", "fj", {{"福州", "fz"}, {"厦门", "xm"}, {"泉州", "qz"}}},
    {"江西省", "江西", "jx", {{"南昌", "nc"}, {"赣州", "gz"}, {"九江", "jj"}}},
    {"山东省", "山东", "sd", {{"济南", "jn"}, {"青岛", "qd"}, {"烟台", "yt"}}},
    {"河南省", "河南", "ha", {{"郑州", "zz"}, {"洛阳", "ly"}, {"开封", "kf"}}},
    {"湖北省", "湖北", "hb", {{"武汉", "wh"}, {"宜昌", "yc"}, {"襄阳", "xy"}}},
    {"湖南省", "湖南", "hn", {{"长沙", "cs"}, {"株洲", "zz"}, {"岳阳", "yy"}}},
    {"广东省", "广东", "gd", {{"广州", "gz"}, {"深圳", "sz"}, {"东莞", "dg"}}},
    {"广西壮族自治区", "广西", "gx", {{"南宁", "nn"}, {"桂林", "gl"}, {"柳州", "lz"}}},
    {"海南省", "海南", "hi", {{"海口", "hk"}, {"三亚", "sy"}, {"儋州", "dz"}}},
    {"重庆市", "重庆", "cq", {{"重庆", "cq"}, {"万州", "wz"}, {"涪陵", "fl"}}},
    {"四川省", "四川", "sc", {{"成都", "cd"}, {"绵阳", "my"}, {"宜宾", "yb"}}},
    {"贵州省", "贵州", "gz", {{"贵阳", "gy"}, {"遵义", "zy"}, {"六盘水", "lps"}}},
    {"云南省", "云南", "yn", {{"昆明", "km"}, {"大理", "dl"}, {"曲靖", "qj"}}},
    {"西藏自治区", "西藏", "xz", {{"拉萨", "ls"}, {"日喀则", "rkz"}, {"林芝", "lz"}}},
    {"陕西省", "陕西", "sn", {{"西安", "xa"}, {"宝鸡", "bj"}, {"咸阳", "xy"}}},
    {"甘肃省", "甘肃", "gs", {{"兰州", "lz"}, {"天水", "ts"}, {"酒泉", "jq"}}},
    {"青海省", "青海", "qh", {{"西宁", "xn"}, {"海东", "hd"}, {"格尔木", "gem"}}},
    {"宁夏回族自治区", "宁夏", "nx", {{"银川", "yc"}, {"石嘴山", "szs"}, {"吴忠", "wz"}}},
    {"新疆维吾尔自治区",
     "新疆",
     "xj",
     {{"乌鲁木齐", "wlmq"}, {"克拉玛依", "klmy"}, {"喀什", "ks"}}},
};
constexpr int kProvinceCount = sizeof kProvinces / sizeof kProvinces[0];

struct Operator {
  const char* name;
  const char* code;
};
const Operator kOperators[] = {{"电信", "dx"}, {"联通", "lt"}, {"移动", "yd"}};

// One node of province p, city c, operator o, serial n (n counts nodes of
// the same city and operator).
DemoNode MakeNode(int p, int c, int o, int n, int64_t serial) {
  const Province& province = kProvinces[p];
  DemoNode node;
  node.province = province.name;
  node.city = province.cities[c].name;
  node.isp = kOperators[o].name;
  node.domain = std::string(province.code) + "-" + province.cities[c].code + "-" +
                kOperators[o].code + std::to_string(n + 1) + ".vpn.dudivizo.test";
  node.url = "http://" + node.domain + "/status";
  node.updateTime = 1'760'000'000 + serial * 137;
  node.updateTimeAsText = serial % 2 == 1;
  node.address = std::to_string(36 + o * 40 + p % 20) + "." + std::to_string(100 + p) + "." +
                 std::to_string(10 + c * 30 + n) + "." + std::to_string(2 + serial % 250);
  return node;
}

}  // namespace

std::vector<DemoNode> StandardCatalogue() {
  std::vector<DemoNode> nodes;
  int64_t serial = 0;
  for (int p = 0; p < kProvinceCount; ++p) {
    for (int c = 0; c < 3; ++c) {
      for (int o = 0; o < 3; ++o) nodes.push_back(MakeNode(p, c, o, 0, serial++));
    }
    // The capital has a second telecom node.
    nodes.push_back(MakeNode(p, 0, 0, 1, serial++));
  }
  // A few faulty nodes, a few the service has abandoned, and one domain
  // written in capitals (clients compare domains in lower case).
  for (size_t i : {7u, 58u, 133u, 241u}) nodes[i].status = 2;
  for (size_t i : {12u, 99u, 200u}) nodes[i].status = -1;
  nodes[45].domain = platform::AsciiUpper(nodes[45].domain);
  return nodes;
}

std::vector<DemoNode> GeneratedCatalogue(size_t count) {
  std::vector<DemoNode> nodes;
  nodes.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    int p = static_cast<int>(i % kProvinceCount);
    int c = static_cast<int>((i / kProvinceCount) % 3);
    int o = static_cast<int>((i / (kProvinceCount * 3)) % 3);
    int n = static_cast<int>(i / (kProvinceCount * 9));
    nodes.push_back(MakeNode(p, c, o, n, static_cast<int64_t>(i)));
  }
  return nodes;
}

std::vector<DemoAccount> StandardAccounts() {
  return {
      {"demo", "demo123", "2027-12-31 23:59:59", 100, ""},
      {"vip", "vip888", "2028-06-06 14:21:15", 100, ""},
      {"张三", "a&b=c#d%e f", "2027-03-01 08:00:00", 100, ""},
      {"expired", "expired", "2020-06-06 14:21:15", 101, "账号已到期，请续费后再登录"},
  };
}

std::string NodeListJson(const std::vector<DemoNode>& nodes) {
  std::string out = R"({"code":200,"msg":"ok","data":[)";
  service::JsonDocument element;
  for (size_t i = 0; i < nodes.size(); ++i) {
    const DemoNode& node = nodes[i];
    element.clear();
    element.setInt("id", static_cast<int32_t>(i + 1));
    element.setText("province", node.province);
    element.setText("city", node.city);
    element.setText("domain", node.domain);
    element.setText("isp", node.isp);
    element.setText("url", node.url);
    if (node.updateTimeAsText) {
      element.setText("update_time", std::to_string(node.updateTime));
    } else {
      element.setInt64("update_time", node.updateTime);
    }
    element.setInt("status", node.status);
    if (i > 0) out += ',';
    out += element.toText();
  }
  out += "]}";
  return out;
}

std::string LocationOf(const DemoNode& node) {
  for (const Province& p : kProvinces) {
    if (node.province == p.name) return std::string("中国-") + p.short_ + "-" + node.city;
  }
  return "中国-" + node.province + "-" + node.city;
}

}  // namespace dudivizo::demo
