#pragma once
// What the program's resources must hold, written out by hand: the tests compare
// the built resources (and the host table) against these, not against the source file.
#include <cstdint>
#include <string_view>

namespace orvane::expected {

struct Text {
  std::uint16_t id;
  std::string_view utf8;
};

inline constexpr Text kStrings[] = {
    {101, "无法访问网络，IE打不开网页等等"},
    {102, "无法显示隐藏文件"},
    {103, "无法进入安全模式"},
    {104, "无法打开任何快捷方式"},
    {105, "无法打开文件夹，或打开出现打开方式"},
    {106, "无法打开\"我的电脑\"，\"我的文档\"等"},
    {107, "无法打开组策略"},
    {108, "IE首页被修改"},
    {109, "IE标题栏被修改"},
    {110, "IE默认首页按钮不可用"},
    {111, "IE右键菜单被修改"},
    {112, "IE默认搜索引擎被修改"},
    {113, "系统启动时弹出对话框"},
    {600, "全选"},
    {601, "反选"},
    {602, "设置"},
    {603, "设置IE首页为："},
    {604, "设置默认搜索引擎为："},
    {605, "IE鼠标右键菜单管理"},
    {606, "请先选中需要删除的右键菜单然后点击立即清理"},
    {607, "修复后锁定修复项"},
    {999, "Orvane"},
    {1000, "您未选择任何修复项"},
    {1001, "修复成功"},
    {1002, "修复失败"},
    {1003, "至少需要选中一项才能进行清理"},
    {2001, "什么是Orvane?\r"},
    {2002, "Orvane是一款由Kestrin开发的，完全免费的系统修复工具.Orvane可以一键修复电脑众多问题。\r"},
    {2003, "Pellory是一款由Kestrin开发的系统优化工具.Pellory可以清理众多浏览器和众多常用软件的痕迹，让您的电脑飞起来！"},
    {2004, "更多免费软件，请访问Kestrin(http://www.example.com)"},
    {3000, "无法创建程序窗口，程序将退出。"},
};

struct Picture {
  std::uint16_t id;
  int width, height, depth;
};

inline constexpr Picture kPictures[] = {
    {101, 64, 24, 8},   {102, 64, 24, 8},   {103, 23, 17, 8},  {104, 21, 15, 24},
    {105, 595, 27, 8},  {106, 595, 413, 24}, {107, 586, 31, 24}, {108, 13, 13, 8},
    {109, 219, 46, 24}, {110, 13, 13, 8},   {111, 585, 26, 24}, {201, 400, 260, 24},
    {202, 22, 17, 24},  {203, 70, 23, 24},  {204, 75, 23, 24},  {205, 23, 15, 24},
};

// Identifiers next to the real ones that must stay empty.
inline constexpr std::uint16_t kAbsentStrings[] = {0, 1, 100, 114, 599, 608, 998, 1004, 2000, 2005, 0xFFFF};
inline constexpr std::uint16_t kAbsentPictures[] = {0, 1, 100, 112, 200, 206, 0xFFFF};

}  // namespace orvane::expected
