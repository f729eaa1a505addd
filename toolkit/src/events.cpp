#include "toolkit/events.h"

#include <vector>

namespace toolkit {

int SEventSet::subscribeEvent(int eventId, EventHandler handler) {
  int token = nextToken_++;
  subscribers_[token] = Subscriber{eventId, std::move(handler)};
  return token;
}

bool SEventSet::unsubscribeEvent(int token) {
  return subscribers_.erase(token) > 0;
}

void SEventSet::FireEvent(EventArgs& evt) {
  // A handler may subscribe or unsubscribe while the event runs: call the ones there at the start.
  std::vector<EventHandler> handlers;
  for (const auto& [token, subscriber] : subscribers_) {
    if (subscriber.eventId == evt.GetID())
      handlers.push_back(subscriber.handler);
  }
  for (auto& handler : handlers) {
    if (handler(&evt))
      ++evt.handled;
  }
}

}  // namespace toolkit
