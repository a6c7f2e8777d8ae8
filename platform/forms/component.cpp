#include <algorithm>

#include "platform/forms/forms.h"

TComponent::TComponent(TComponent* owner) : owner_(owner) {
  if (owner_ != nullptr) owner_->owned_.push_back(this);
}

TComponent::~TComponent() {
  DestroyComponents();
  if (owner_ != nullptr) owner_->Release(this);
}

void TComponent::DestroyComponents() {
  // Each owned component takes itself off the list as it goes.
  while (!owned_.empty()) delete owned_.back();
}

void TComponent::Release(TComponent* owned) { std::erase(owned_, owned); }
