// Resource ids of the graph window.
#pragma once
#define IDD_GRAPH 123
