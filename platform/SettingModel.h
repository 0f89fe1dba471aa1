#pragma once

#include <QObject>
#include <utility>

namespace logosmith {

// A setting that windows show and change, held apart from any widget. Like a control set from
// code, a change that leaves the value as it was runs nothing: changed() comes only with a new
// value, so whatever a change sets off happens once per real change.
class SettingModel : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

  signals:
    void changed();

  protected:
    // Takes the new value and announces it; false, announcing nothing, when it was already so.
    template <class T, class U> bool assign(T& field, U&& value) {
        if (field == value)
            return false;
        field = std::forward<U>(value);
        emit changed();
        return true;
    }
};

} // namespace logosmith
