#pragma once

// Command ids of menu 128, the two toolbars and the chart popups.
namespace qs::ui::command {
inline constexpr int kDeposit = 32877;         // 入金
inline constexpr int kAwards = 32901;          // 获奖公告
inline constexpr int kReinitialise = 32803;    // 重新初始化
inline constexpr int kProductSettings = 32816; // 产品设置
inline constexpr int kPriceAlerts = 32903;     // 到价提醒
inline constexpr int kRelogin = 32832;         // 重新登录
inline constexpr int kExit = 32785;            // 退出(&X)
inline constexpr int kShowCommonBar = 32867;   // 常用
inline constexpr int kShowProductBar = 32869;  // 工具箱
inline constexpr int kMousePlain = 32871;      // 默认(无)
inline constexpr int kMouseCross = 32873;      // 十字光标
inline constexpr int kMouseDrag = 32875;       // 移动K线
inline constexpr int kSignalHelp = 32795;      // 操盘信号说明
inline constexpr int kAbout = 57664;           // 关于 Quillstar(&A)...
inline constexpr int kOpenLogFolder = 32960;   // 打开日志文件夹
inline constexpr int kMessageManager = 32784;
inline constexpr int kWebSite = 32787;
inline constexpr int kBlog = 32788;
inline constexpr int kMarketOpen = 32824;     // 市价建仓单
inline constexpr int kLimitOpen = 32823;      // 指价建仓单
inline constexpr int kReport = 32826;         // 交易报表
inline constexpr int kModifyPosition = 32818; // 修改订单
inline constexpr int kMarketClose = 32820;    // 市价平仓
inline constexpr int kModifyOrder = 32819;    // 修改指价
inline constexpr int kDeleteOrder = 32821;    // 删除指价
} // namespace qs::ui::command
