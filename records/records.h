#pragma once

// Every wire record the server answers in.

#include "json.h"
#include "notifications.h"
#include "overview.h"
#include "reference.h"
#include "session.h"
#include "ticketdetail.h"
