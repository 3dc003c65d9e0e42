// The server's version, fetched at start-up, and the online update command.
#pragma once

void FetchServerVersion();
