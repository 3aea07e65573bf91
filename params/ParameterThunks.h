// The one method table of every parameter: its entries turn a host's call on
// ICompressParameter, ICompressParameterAlias or ICompressParameterAliasIcon
// into a call of the parameter's virtual operations, and catch every failure
// at that boundary.
#pragma once

#include "interfaces/ParameterApi.h"

extern const ParameterMethodTable ParameterMethods;
