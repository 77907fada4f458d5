// A screen for exchange tests: shows a store by checking that the keywords
// it needs are there, stages scripted entries, and records what it was asked.
#pragma once
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "controller/change_list.h"
#include "controller/exchange.h"
#include "controller/store_access.h"

namespace kova {

class FakeScreen : public ExchangeScreen {
 public:
  explicit FakeScreen(ChangeList& changes) : changes_(changes) {}

  std::vector<std::string> needed;  // keywords ShowStore requires
  std::vector<std::pair<std::string, std::string>> to_stage;
  std::function<void(ChangeList&)> stage;  // staged after to_stage
  std::vector<std::string> file_keywords;
  std::vector<std::string> staged_selectors;
  std::vector<bool> button_states;  // every EnableWriteButtons call
  int shows = 0;

  bool ShowStore(CKX4DATA& store) override {
    ++shows;
    for (const auto& k : needed)
      if (!StoreHas(store, k)) return false;
    return true;
  }
  void StageFields(std::string_view selector) override {
    staged_selectors.emplace_back(selector);
    for (const auto& [k, v] : to_stage) changes_.Stage(k, v);
    if (stage) stage(changes_);
  }
  void EnableWriteButtons(bool enabled) override { button_states.push_back(enabled); }
  std::vector<std::string> FileKeywords() const override { return file_keywords; }

 private:
  ChangeList& changes_;
};

}  // namespace kova
