#pragma once
// Moving data between the worksheet, the XYS data set and the line, and
// keeping the marker lists: ADD, PORT, LINE, POINT, MARK and LABEL.
namespace verto {

struct Session;

void cmd_add(Session& s);    // ADD[/n1:n2][/form] Cn1[,Cn2,Cn3]
void cmd_port(Session& s);   // PORT[/C|/X] x1,x2
void cmd_line(Session& s);   // LINE[/ADD][/NO|/CLEAR][/ZERO][/n1:n2] [file]
void cmd_point(Session& s);  // POINT[/R][/n1:n2]
void cmd_mark(Session& s);   // MARK[/NO|/CLEAR][/LINE][/LIST][/ADD] [n1,n2...]
void cmd_label(Session& s);  // LABEL[/NUM=n][/LINE] text

}  // namespace verto
