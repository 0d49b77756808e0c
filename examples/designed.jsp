<%@ page language="java" contentType="text/html; charset=ISO-8859-1" import="java.util.*" %>
<%-- Order history, laid out in the visual editor.  The elements it generated
     are saved inside METADATA comments, each followed by its run-time text. --%>
<jsp:useBean id="customer" type="com.northbank.web.CustomerBean" scope="session" />
<jsp:useBean id="orders" class="com.northbank.web.OrderListBean" scope="request" />
<HTML>
<HEAD>
<TITLE>Order history</TITLE>
</HEAD>
<BODY BGCOLOR="#FFFFFF">
<H1>Orders of
<%--METADATA type="AuthorTimeVisual" startspan
<QRTX:ATV FONTTEXT="Customer name" FONTCOLOR="#000080"><%= customer.getName() %></QRTX:ATV>
--%><%= customer.getName() %><%--METADATA type="AuthorTimeVisual" endspan--%>
</H1>
  <%--METADATA type="DynamicData" startspan
  <TABLE dynamicelement outerloopproperty="orders.items[]" BORDER="1" CELLPADDING="4">
    <TR><TH>Number</TH><TH>Date</TH><TH>Total</TH></TR>
    <TR><TD><QRTX:PROPERTY property="orders.items[].number" authortimetext="1001"></TD>
        <TD><QRTX:PROPERTY property="orders.items[].date" authortimetext="2024-01-31"></TD>
        <TD><QRTX:PROPERTY property="orders.items[].total" authortimetext="12.50"></TD></TR>
  </TABLE>
--%><TABLE BORDER="1" CELLPADDING="4">
    <TR><TH>Number</TH><TH>Date</TH><TH>Total</TH></TR>
<%
    for (int i = 0; i < orders.getItems().length; i++) {
%>
    <TR><TD><%= orders.getItems()[i].getNumber() %></TD>
        <TD><%= orders.getItems()[i].getDate() %></TD>
        <TD><%= orders.getItems()[i].getTotal() %></TD></TR>
<%
    }
%>
  </TABLE><%--METADATA type="DynamicData" endspan--%>
<P>Questions about an order?  Ask our assistant:</P>
<%--METADATA type="DesignerControl" startspan
<OBJECT dtc ID="helpChat" CLASSID="clsid:5220CB21-C88D-11CF-B347-00AA00A28331" WIDTH="320" HEIGHT="200">
  <PARAM NAME="greeting" VALUE="Hello">
</OBJECT>
--%><APPLET CODE="com.northbank.chat.ChatApplet" WIDTH="320" HEIGHT="200">
  <PARAM NAME="greeting" VALUE="Hello">
</APPLET><%--METADATA type="DesignerControl" endspan--%>
<%-- metadata TYPE=dynamicdata written by hand, without its end comment: an ordinary comment.
--%>
</BODY>
</HTML>
