#pragma once
// Component ownership: a component created with an owner is freed by that
// owner's destructor, in reverse order of creation, unless it was freed first.

#include <vector>

class TObject {
public:
  virtual ~TObject() = default;
};

class TComponent : public TObject {
public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return FOwner; }
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }

private:
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);

  TComponent* FOwner;
  std::vector<TComponent*> FComponents;
};
