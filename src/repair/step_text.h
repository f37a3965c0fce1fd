#pragma once
// Steps, outcomes and checks as the log, the tool tips and the console show them.
#include <string>

#include "repair/check.h"
#include "repair/steps.h"

namespace orvane {

// "写入 HKEY_CURRENT_USER\...\Main "Start Page" = "about:blank""
std::string DescribeStep(const StepTarget& target);
// "拒绝访问。(5)"; "(5)" alone when the system has no message.
std::string DescribeError(long code);
// "成功 (0)", "被拒绝 拒绝访问。(5)"
std::string DescribeOutcome(const StepOutcome& outcome);
// "当前值：REG_DWORD 1", "不存在", "无法读取 拒绝访问。(5)"
std::string DescribeFound(const StepCheck& check);
// A value's data: "text", dword:00000001, hex(7):61,00,...
std::string DescribeValue(const RegValue& value);

}  // namespace orvane
