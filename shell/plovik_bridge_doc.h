#pragma once
// The document: the bridge keeps no data in it.

#include "framework/document.h"

class CPlovik_bridgeDoc : public CDocument {};
