#pragma once
// Events: a handler bound to an object and one of its methods, called with the
// sender first. Firing an event without a handler does nothing.

#include <functional>
#include <string>
#include <utility>

#include "framework/Component.h"

template <class... Args>
class TEvent {
public:
  TEvent() = default;

  template <class Object, class Method>
  TEvent(Object* object, Method method)
      : FHandler([object, method](TObject* sender, Args... args) {
          (object->*method)(sender, std::forward<Args>(args)...);
        }) {}

  // A free-standing handler, for tests and small adapters.
  explicit TEvent(std::function<void(TObject*, Args...)> handler) : FHandler(std::move(handler)) {}

  bool Assigned() const { return static_cast<bool>(FHandler); }
  void Clear() { FHandler = nullptr; }

  void operator()(TObject* sender, Args... args) const {
    if (FHandler) FHandler(sender, std::forward<Args>(args)...);
  }

private:
  std::function<void(TObject*, Args...)> FHandler;
};

using TNotifyEvent = TEvent<>;
// Events with one string argument (a path, for the directory searcher).
using TStringEvent = TEvent<const std::string&>;
