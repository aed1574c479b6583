#pragma once
// The root of the component classes, in the style of the classic form toolkits: a component
// has a name and an owner, and the owner destroys what it owns.
#include <functional>
#include <vector>

#include "AnsiString.h"

class TObject {
public:
    virtual ~TObject() = default;
};

// An event such as OnClick: called with the component that raised it.
using TNotifyEvent = std::function<void(TObject* Sender)>;

class TComponent : public TObject {
public:
    // `owner` (may be null) takes the new component and destroys it with itself.
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }
    // The owned components, in the order they were made.
    const std::vector<TComponent*>& Components() const { return components_; }

    AnsiString Name;

private:
    TComponent* owner_;
    std::vector<TComponent*> components_;
};
