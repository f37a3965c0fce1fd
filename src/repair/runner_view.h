#pragma once
// The main window as the repair runner sees it.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "repair/steps.h"

namespace orvane {

constexpr int kRepairItemCount = 14;
constexpr int kMenuManagerItem = 10;
constexpr int kBrowserManagerItem = 13;

enum class MessageIcon { None, Information };

// A policy line the browser manager listed at a clean: the registry steps that
// remove it, and whether it went (false: the person left it unticked).
struct PolicyLine {
  std::vector<StepTarget> steps;
  bool cleaned = false;
};

class RunnerView {
 public:
  virtual ~RunnerView() = default;

  // Row i: its tick, read when the runner reaches it, and its result label.
  virtual bool RowTicked(int row) = 0;
  virtual void SetResultColor(int row, std::uint32_t color) = 0;
  virtual void SetResultCaption(int row, const std::string& caption) = 0;
  virtual void ShowResult(int row) = 0;
  // The result label's tool tip ("" for none).
  virtual void SetResultToolTip(int /*row*/, const std::string& /*text*/) {}

  virtual void SetRepairButtonEnabled(bool enabled) = 0;
  virtual bool LockTicked() = 0;
  virtual void SetTimerEnabled(bool enabled) = 0;
  // A function any thread may call with a watch's id, which makes the window's
  // thread call RepairRunner::OnKeyChanged(id) soon. Empty: keys are not
  // watched and lock mode re-applies its items on every tick.
  virtual std::function<void(std::uint32_t)> KeyChangePoster() { return {}; }

  virtual void ShowMessage(const std::string& text, const std::string& caption,
                           MessageIcon icon) = 0;
  virtual void ShowMenuManager() = 0;  // modal; returns when it closes
  // Likewise; returns the policy lines of every clean, in order.
  virtual std::vector<PolicyLine> ShowBrowserManager() = 0;
  virtual void ProcessPendingEvents() = 0;  // repaint and input
  virtual void RepaintPending() = 0;        // repaint only; input waits
};

}  // namespace orvane
