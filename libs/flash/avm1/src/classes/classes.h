#pragma once

// The built-in classes of the interpreter, one file each in this folder; registry.cpp
// installs them.

#include <span>
#include <vector>

#include "flash/avm1/host.h"
#include "flash/avm1/native_member.h"
#include "globals.h"

namespace flash::avm1 {

class Interpreter;

// Installs every built-in class on the globals, in the order _global lists them.
void InstallClasses(Interpreter& in, Globals& g);

// One installer per class (the file of the same name).
void InstallObject(Interpreter& in, Globals& g);
void InstallAsNative(Interpreter& in, Globals& g);
void InstallFunction(Interpreter& in, Globals& g);
void InstallArray(Interpreter& in, Globals& g);
void InstallString(Interpreter& in, Globals& g);
void InstallNumber(Interpreter& in, Globals& g);
void InstallBoolean(Interpreter& in, Globals& g);
void InstallMath(Interpreter& in, Globals& g);
void InstallDate(Interpreter& in, Globals& g);
void InstallError(Interpreter& in, Globals& g);
void InstallGlobalFunctions(Interpreter& in, Globals& g);
void InstallAsBroadcaster(Interpreter& in, Globals& g);
void InstallPlayerBroadcasters(Interpreter& in, Globals& g);
void InstallSystem(Interpreter& in, Globals& g);
void InstallMovieClipLoader(Interpreter& in, Globals& g);
void InstallMovieClip(Interpreter& in, Globals& g);
void InstallButton(Interpreter& in, Globals& g);
void InstallTextField(Interpreter& in, Globals& g);
void InstallXmlNode(Interpreter& in, Globals& g);
void InstallXml(Interpreter& in, Globals& g);
void InstallExternalInterface(Interpreter& in, Globals& g);
void InstallPoint(Interpreter& in, Globals& g);
void InstallRectangle(Interpreter& in, Globals& g);
void InstallMatrix(Interpreter& in, Globals& g);
void InstallColorTransform(Interpreter& in, Globals& g);
void InstallLoadVars(Interpreter& in, Globals& g);
void InstallContextMenu(Interpreter& in, Globals& g);

// Starts a load of text into `target` (LoadVars, XML): marks it not loaded, zero bytes so far,
// and hands the request to the host, which answers through target.onData.
void StartDataLoad(CallContext& c, Object* target, String url, UrlRequest::Method method,
                   String body, std::vector<std::pair<String, String>> headers,
                   String contentType = {});
// addRequestHeader(name, value) or (array of names and values), shared by LoadVars and XML.
Value AddRequestHeader(CallContext& c);
// getBytesLoaded and getBytesTotal of LoadVars and XML.
Value GetBytesLoaded(CallContext& c);
Value GetBytesTotal(CallContext& c);
// The headers addRequestHeader collected on `self`, as name/value pairs.
std::vector<std::pair<String, String>> RequestHeaders(Interpreter& in, Object* self, int version);

// A native function (with `construct` for new, when the class makes its own kind of object).
NativeFunction* MakeNative(Interpreter& in, NativeFn fn, NativeFn construct = {});
// A constructor for `proto`, defined on _global as `name` unless that is empty.
Object* MakeClass(Interpreter& in, StringView name, Object* proto, NativeFn fn,
                  NativeFn construct = {});

// AsBroadcaster's shared addListener, removeListener and broadcastMessage on `o`; Initialize
// also gives it an empty _listeners, as AsBroadcaster.initialize does.
void AddBroadcasterMethods(Interpreter& in, Object* o, std::uint16_t attrs);
void InitializeBroadcaster(Interpreter& in, Object* o);

// Arguments from `first` on.
std::vector<Value> ArgsFrom(std::span<const Value> args, std::size_t first);
// The elements of an array-like value (an array, or an object with a length).
std::vector<Value> ListFrom(Interpreter& in, const Value& v, int version);

}  // namespace flash::avm1
