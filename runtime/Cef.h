#pragma once
// Everything a program of the browser runtime includes.

#include "runtime/CefApp.h"
#include "runtime/CefBase.h"
#include "runtime/CefBrowser.h"
#include "runtime/CefContextMenu.h"
#include "runtime/CefDownload.h"
#include "runtime/CefHandlers.h"
#include "runtime/CefRuntimeApi.h"
#include "runtime/CefString.h"
#include "runtime/CefTypes.h"
