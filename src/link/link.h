#pragma once
// The instrument link in one include: link state, lamps, command channel,
// serial-port link, VISA link, connection and identification, resource
// chooser (the dialog itself is in dlgresource.h).

#include "link/cmdfunc.h"
#include "link/commport.h"
#include "link/connectfunc.h"
#include "link/linkindicator.h"
#include "link/linkstate.h"
#include "link/resourcechooser.h"
#include "link/rs232func.h"
#include "link/visafunc.h"
