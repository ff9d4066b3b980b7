#include "OrvexC/hostkit/Script.h"

#include <algorithm>

namespace fake {

void Recorder::Untrack(Base* object) {
  objects_.erase(std::remove(objects_.begin(), objects_.end(), object), objects_.end());
}

Base* Recorder::Find(const std::string& name) const {
  for (Base* object : objects_)
    if (object->name() == name) return object;
  return nullptr;
}

std::vector<std::string> Recorder::UnbalancedObjects() const {
  std::vector<std::string> unbalanced;
  for (const Base* object : objects_)
    if (object->refs() != 1) unbalanced.push_back(object->name() + "=" + std::to_string(object->refs()));
  return unbalanced;
}

}  // namespace fake
