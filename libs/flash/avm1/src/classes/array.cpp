// Array and its methods.
#include <algorithm>
#include <cmath>

#include "classes.h"
#include "flash/avm1/convert.h"
#include "interpreter.h"

namespace flash::avm1 {

namespace {

enum SortFlags : int {
    kCaseInsensitive = 1,
    kDescending = 2,
    kUniqueSort = 4,
    kReturnIndexedArray = 8,
    kNumeric = 16,
};

// The elements of `this` (an array, or any object with a length).
std::vector<Value> ReadList(Interpreter& in, Object* o, int version) {
    std::vector<Value> out;
    if (!o) {
        return out;
    }
    if (auto* a = dynamic_cast<ArrayObject*>(o)) {
        out.reserve(a->length());
        for (std::size_t i = 0; i < a->length(); ++i) {
            out.push_back(a->At(i));
        }
        return out;
    }
    double n = in.ToNumber(in.GetMember(o, u"length", version), version);
    if (!std::isfinite(n) || n <= 0) {
        return out;
    }
    auto count =
        static_cast<std::size_t>(std::min(n, static_cast<double>(in.vm().limits().maxArrayLength)));
    for (std::size_t i = 0; i < count; ++i) {
        out.push_back(in.GetMember(o, Ascii(std::to_string(i)), version));
    }
    return out;
}

void WriteList(Interpreter& in, Object* o, const std::vector<Value>& list, int version) {
    if (auto* a = dynamic_cast<ArrayObject*>(o)) {
        a->Resize(in.vm(), 0);
        for (std::size_t i = 0; i < list.size(); ++i) {
            a->SetAt(in.vm(), i, list[i]);
        }
        return;
    }
    for (std::size_t i = 0; i < list.size(); ++i) {
        in.SetMember(o, Ascii(std::to_string(i)), list[i], version);
    }
    in.SetMember(o, u"length", Value::Number(static_cast<double>(list.size())), version);
}

Value NewArrayOf(Interpreter& in, const std::vector<Value>& list) {
    ArrayObject* a = in.NewArray();
    for (std::size_t i = 0; i < list.size(); ++i) {
        a->SetAt(in.vm(), i, list[i]);
    }
    return Value::Obj(a);
}

// A relative index as slice and splice take it.
std::size_t RelativeIndex(double v, std::size_t length) {
    if (std::isnan(v)) {
        return 0;
    }
    v = std::trunc(v);
    auto len = static_cast<double>(length);
    if (v < 0) {
        return static_cast<std::size_t>(std::max(0.0, len + v));
    }
    return static_cast<std::size_t>(std::min(v, len));
}

String Join(Interpreter& in, const std::vector<Value>& list, const String& sep, int version) {
    String out;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (i) {
            out += sep;
        }
        const Value& v = list[i];
        out += v.IsUndefined() ? (version >= 7 ? String(u"undefined") : String())
                               : in.ToString(v, version);
        in.CheckString(out.size());
    }
    in.ChargeString(out.size());
    return out;
}

// Stable merge sort that stays in bounds whatever the comparison answers.
template <typename Less>
void MergeSort(std::vector<std::size_t>& order, Less less) {
    std::vector<std::size_t> tmp(order.size());
    for (std::size_t width = 1; width < order.size(); width *= 2) {
        for (std::size_t lo = 0; lo < order.size(); lo += 2 * width) {
            std::size_t mid = std::min(lo + width, order.size());
            std::size_t hi = std::min(lo + 2 * width, order.size());
            std::size_t i = lo, j = mid, k = lo;
            while (i < mid && j < hi) {
                tmp[k++] = less(order[j], order[i]) ? order[j++] : order[i++];
            }
            while (i < mid) {
                tmp[k++] = order[i++];
            }
            while (j < hi) {
                tmp[k++] = order[j++];
            }
        }
        order.swap(tmp);
    }
}

String Lower(const String& s) {
    String out = s;
    for (char16_t& c : out) {
        if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
            c = static_cast<char16_t>(c + 32);
        }
    }
    return out;
}

// -1, 0, 1 comparing two values with sort flags (no custom function).
int CompareValues(Interpreter& in, const Value& a, const Value& b, int flags, int version) {
    if ((flags & kNumeric) && a.IsNumber() && b.IsNumber()) {
        double x = a.AsNumber();
        double y = b.AsNumber();
        bool nx = std::isnan(x);
        bool ny = std::isnan(y);
        if (nx || ny) {
            return nx == ny ? 0 : (nx ? 1 : -1);
        }
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    auto text = [&](const Value& v) {
        String s = v.IsUndefined() ? String(u"undefined") : in.ToString(v, version);
        return (flags & kCaseInsensitive) ? Lower(s) : s;
    };
    String x = text(a);
    String y = text(b);
    return x < y ? -1 : (x > y ? 1 : 0);
}

// Sorts `list` by `compare` (-1/0/1) and the flags; returns the array to give back.
Value SortList(Interpreter& in, Object* self, std::vector<Value>& list, int flags,
               const std::function<int(const Value&, const Value&)>& compare, int version) {
    std::vector<std::size_t> order(list.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    bool equalSeen = false;
    MergeSort(order, [&](std::size_t x, std::size_t y) {
        int c = compare(list[x], list[y]);
        if (c == 0) {
            equalSeen = true;
        }
        if (flags & kDescending) {
            c = -c;
        }
        return c < 0;
    });
    if ((flags & kUniqueSort) && equalSeen) {
        return Value::Number(0);
    }
    if (flags & kReturnIndexedArray) {
        std::vector<Value> indices;
        for (std::size_t i : order) {
            indices.push_back(Value::Number(static_cast<double>(i)));
        }
        return NewArrayOf(in, indices);
    }
    std::vector<Value> sorted;
    sorted.reserve(list.size());
    for (std::size_t i : order) {
        sorted.push_back(list[i]);
    }
    WriteList(in, self, sorted, version);
    return Value::Obj(self);
}

// Flash rewrites every element it moves (holes become undefined elements), so the
// rewritten elements enumerate as newly added, in the order they were written.
// Deletes and writes go through the elements' attributes, as a script's would.
void RewriteAt(Vm& vm, ArrayObject* a, std::size_t i, Value v) {
    a->Erase(i);
    a->Write(vm, i, std::move(v));
}

// Pairs from the outside in; the middle element stays as it is.
void ReverseArray(Vm& vm, ArrayObject* a) {
    std::size_t n = a->length();
    for (std::size_t lo = 0; lo < n / 2; ++lo) {
        std::size_t hi = n - 1 - lo;
        Value low = a->At(lo);
        Value high = a->At(hi);
        a->Erase(hi);
        RewriteAt(vm, a, lo, std::move(high));
        a->Write(vm, hi, std::move(low));
    }
}

// Elements move up from the last one down, each source deleted; then the new ones are set.
void UnshiftArray(Vm& vm, ArrayObject* a, std::span<const Value> items) {
    std::size_t n = items.size();
    std::size_t old = a->length();
    if (n == 0) {
        return;
    }
    a->Resize(vm, old + n);
    for (std::size_t k = old; k-- > 0;) {
        Value v = a->At(k);
        a->Erase(k);
        RewriteAt(vm, a, k + n, std::move(v));
    }
    for (std::size_t i = 0; i < n; ++i) {
        a->Write(vm, i, items[i]);
    }
}

Value Construct(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    ArrayObject* a = in.NewArray();
    if (c.args.size() == 1 && c.args[0].IsNumber()) {
        a->SetScriptLength(c.vm, ToInt32(c.args[0].AsNumber()));
        return Value::Obj(a);
    }
    for (std::size_t i = 0; i < c.args.size(); ++i) {
        a->SetAt(c.vm, i, c.args[i]);
    }
    return Value::Obj(a);
}

Value Push(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    Object* self = c.This();
    if (!self) {
        return Value();
    }
    if (auto* a = dynamic_cast<ArrayObject*>(self)) {
        for (const Value& v : c.args) {
            a->Push(c.vm, v);
        }
        return Value::Number(static_cast<double>(a->length()));
    }
    std::vector<Value> list = ReadList(in, self, c.version);
    list.insert(list.end(), c.args.begin(), c.args.end());
    WriteList(in, self, list, c.version);
    return Value::Number(static_cast<double>(list.size()));
}

Value Pop(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    Object* self = c.This();
    if (auto* a = dynamic_cast<ArrayObject*>(self)) {
        if (a->length() == 0) {
            return Value();
        }
        Value v = a->At(a->length() - 1);
        a->Resize(c.vm, a->length() - 1);
        return v;
    }
    std::vector<Value> list = ReadList(in, self, c.version);
    if (list.empty()) {
        return Value();
    }
    Value v = list.back();
    list.pop_back();
    WriteList(in, self, list, c.version);
    return v;
}

Value Shift(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    Object* self = c.This();
    if (!self) {
        return Value();
    }
    if (auto* a = dynamic_cast<ArrayObject*>(self)) {
        if (a->length() == 0) {
            return Value();
        }
        Value v = a->At(0);
        a->slots().erase(a->slots().begin());
        return v;
    }
    std::vector<Value> list = ReadList(in, self, c.version);
    if (list.empty()) {
        return Value();
    }
    Value v = list.front();
    list.erase(list.begin());
    WriteList(in, self, list, c.version);
    return v;
}

Value Unshift(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    Object* self = c.This();
    if (!self) {
        return Value();
    }
    if (auto* a = dynamic_cast<ArrayObject*>(self)) {
        UnshiftArray(c.vm, a, c.args);
        return Value::Number(static_cast<double>(a->length()));
    }
    std::vector<Value> list(c.args.begin(), c.args.end());
    std::vector<Value> old = ReadList(in, self, c.version);
    list.insert(list.end(), old.begin(), old.end());
    WriteList(in, self, list, c.version);
    return Value::Number(static_cast<double>(list.size()));
}

Value Reverse(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    Object* self = c.This();
    if (!self) {
        return Value();
    }
    if (auto* a = dynamic_cast<ArrayObject*>(self)) {
        ReverseArray(c.vm, a);
        return Value::Obj(a);
    }
    std::vector<Value> list = ReadList(in, self, c.version);
    std::reverse(list.begin(), list.end());
    WriteList(in, self, list, c.version);
    return Value::Obj(self);
}

Value JoinMethod(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    String sep = c.args.empty() || c.args[0].IsUndefined() ? String(u",")
                                                           : in.ToString(c.args[0], c.version);
    return Value::Str(Join(in, ReadList(in, c.This(), c.version), sep, c.version));
}

Value ToString(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    return Value::Str(Join(in, ReadList(in, c.This(), c.version), u",", c.version));
}

Value Concat(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    std::vector<Value> list = ReadList(in, c.This(), c.version);
    for (const Value& v : c.args) {
        if (dynamic_cast<ArrayObject*>(v.AsObject())) {
            std::vector<Value> more = ReadList(in, v.AsObject(), c.version);
            list.insert(list.end(), more.begin(), more.end());
        } else {
            list.push_back(v);
        }
        if (list.size() > c.vm.limits().maxArrayLength) {
            throw AbortRun{u"array too long"};
        }
    }
    return NewArrayOf(in, list);
}

Value Slice(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    std::vector<Value> list = ReadList(in, c.This(), c.version);
    std::size_t start =
        c.args.empty() ? 0 : RelativeIndex(in.ToNumber(c.args[0], c.version), list.size());
    std::size_t end = c.args.size() < 2 || c.args[1].IsUndefined()
                          ? list.size()
                          : RelativeIndex(in.ToNumber(c.args[1], c.version), list.size());
    std::vector<Value> out;
    for (std::size_t i = start; i < end; ++i) {
        out.push_back(list[i]);
    }
    return NewArrayOf(in, out);
}

Value Splice(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    Object* self = c.This();
    if (!self || c.args.empty()) {
        return Value();
    }
    std::vector<Value> list = ReadList(in, self, c.version);
    std::size_t start = RelativeIndex(in.ToNumber(c.args[0], c.version), list.size());
    std::size_t count = list.size() - start;
    if (c.args.size() > 1) {
        double n = in.ToNumber(c.args[1], c.version);
        if (std::isnan(n) || n < 0) {
            n = 0;
        }
        count = static_cast<std::size_t>(std::min(std::trunc(n), static_cast<double>(count)));
    }
    std::vector<Value> removed(list.begin() + static_cast<std::ptrdiff_t>(start),
                               list.begin() + static_cast<std::ptrdiff_t>(start + count));
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(start),
               list.begin() + static_cast<std::ptrdiff_t>(start + count));
    if (c.args.size() > 2) {
        list.insert(list.begin() + static_cast<std::ptrdiff_t>(start), c.args.begin() + 2,
                    c.args.end());
    }
    WriteList(in, self, list, c.version);
    return NewArrayOf(in, removed);
}

Value Sort(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    Object* self = c.This();
    if (!self) {
        return Value();
    }
    Object* fn = nullptr;
    int flags = 0;
    if (!c.args.empty()) {
        const Value& first = c.Arg(0);
        if (in.IsFunction(first)) {
            fn = first.AsObject();
        } else if (!first.IsNumber() && !first.IsObject()) {
            return Value();
        }
        if (c.args.size() > 1 && c.args[1].IsNumber()) {
            flags = ToInt32(c.args[1].AsNumber());
        } else if (first.IsNumber()) {
            flags = ToInt32(first.AsNumber());
        }
    }
    std::vector<Value> list = ReadList(in, self, c.version);
    int version = c.version;
    auto compare = [&](const Value& a, const Value& b) -> int {
        if (fn) {
            Value args[2] = {a, b};
            double r = in.ToNumber(in.CallFunction(fn, Value(), args, version), version);
            return r > 0 ? 1 : (r < 0 ? -1 : 0);
        }
        return CompareValues(in, a, b, flags, version);
    };
    return SortList(in, self, list, flags, compare, c.version);
}

Value SortOn(CallContext& c) {
    Interpreter& in = InterpreterOf(c.vm);
    Object* self = c.This();
    if (!self || c.args.empty()) {
        return Value();
    }
    std::vector<String> fields;
    if (auto* names = dynamic_cast<ArrayObject*>(c.args[0].AsObject())) {
        for (std::size_t i = 0; i < names->length(); ++i) {
            fields.push_back(in.ToString(names->At(i), c.version));
        }
    } else if (!c.args[0].IsUndefined()) {
        fields.push_back(in.ToString(c.args[0], c.version));
    }
    std::vector<int> flags(fields.size(), 0);
    if (c.args.size() > 1) {
        if (auto* list = dynamic_cast<ArrayObject*>(c.args[1].AsObject())) {
            if (list->length() == fields.size()) {
                for (std::size_t i = 0; i < fields.size(); ++i) {
                    flags[i] = ToInt32(in.ToNumber(list->At(i), c.version));
                }
            }
        } else {
            std::fill(flags.begin(), flags.end(), ToInt32(in.ToNumber(c.args[1], c.version)));
        }
    }
    if (fields.empty()) {
        return Value::Obj(self);
    }
    std::vector<Value> list = ReadList(in, self, c.version);
    int version = c.version;
    // The first field's flags decide descending, unique and indexed results.
    int mainFlags = flags[0];
    auto compare = [&](const Value& a, const Value& b) -> int {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            Value x = a.IsObject() ? in.GetMember(a.AsObject(), fields[i], version) : Value();
            Value y = b.IsObject() ? in.GetMember(b.AsObject(), fields[i], version) : Value();
            int r = CompareValues(in, x, y, flags[i], version);
            if (i > 0 && ((flags[i] ^ mainFlags) & kDescending)) {
                r = -r;
            }
            if (r != 0) {
                return r;
            }
        }
        return 0;
    };
    return SortList(in, self, list, mainFlags, compare, c.version);
}

constexpr NativeMember kStatics[] = {
    Constant(u"CASEINSENSITIVE", kCaseInsensitive),
    Constant(u"DESCENDING", kDescending),
    Constant(u"UNIQUESORT", kUniqueSort),
    Constant(u"RETURNINDEXEDARRAY", kReturnIndexedArray),
    Constant(u"NUMERIC", kNumeric),
};

constexpr NativeMember kPrototype[] = {
    Method(u"push", Push),         Method(u"pop", Pop),         Method(u"shift", Shift),
    Method(u"unshift", Unshift),   Method(u"reverse", Reverse), Method(u"join", JoinMethod),
    Method(u"toString", ToString), Method(u"concat", Concat),   Method(u"slice", Slice),
    Method(u"splice", Splice),     Method(u"sort", Sort),       Method(u"sortOn", SortOn),
};

}  // namespace

void InstallArray(Interpreter& in, Globals& g) {
    g.arrayCtor = MakeClass(in, u"Array", g.arrayProto, Construct, Construct);
    DefineMembers(in.vm(), g.arrayCtor, kStatics);
    DefineMembers(in.vm(), g.arrayProto, kPrototype);
}

}  // namespace flash::avm1
