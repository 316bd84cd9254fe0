#pragma once

namespace flash {

// Flash's rule for browser windows a movie asks for: one only in answer to the user, a key
// press or a mouse press with its release, and at most one for each; every other request is
// refused, and the first refusal of a movie is told to the host.
class PageOpenings {
  public:
    // Before the scripts of a key or mouse press run: one page may open.
    void Press() {
        allowed_ = 1;
        answering_ = true;
    }
    // Before the scripts of its release run: what the press left.
    void Release() { answering_ = true; }
    // After an input event's scripts; a release ends what its press allowed.
    void InputDone(bool gestureOver) {
        answering_ = false;
        if (gestureOver) {
            allowed_ = 0;
        }
    }
    // Whether a page may open now; takes the opening.
    bool Take() {
        if (!answering_ || allowed_ == 0) {
            return false;
        }
        --allowed_;
        return true;
    }
    // True for the first refusal since the movie was loaded.
    bool FirstRefusal() {
        const bool first = !refused_;
        refused_ = true;
        return first;
    }
    void Reset() { *this = PageOpenings(); }

  private:
    int allowed_ = 0;
    bool answering_ = false;
    bool refused_ = false;
};

}  // namespace flash
