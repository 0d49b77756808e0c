1<%@ page language="java" contentType="text/html; charset=ISO-8859-1"
    import="java.util.*, java.text.NumberFormat, com.northbank.web.*" errorPage="error.jsp" %>
<%@ include file="/common/session-check.jsp" %>
<%-- Account summary: the customer's accounts and the last ten transactions.
     The bean is filled by the login servlet; this page only reads it. --%>
<jsp:useBean id="customer" class="com.northbank.web.CustomerBean" scope="session" />
<jsp:useBean id="statement" class="com.northbank.web.StatementBean" scope="request">
  <jsp:setProperty name="statement" property="customerId" value="<%= customer.getId() %>" />
  <jsp:setProperty name="statement" property="*" />
</jsp:useBean>
<%!
    private static final int ROWS = 10;

    private String money(NumberFormat nf, double amount) {
        return amount < 0 ? "(" + nf.format(-amount) + ")" : nf.format(amount);
    }
%>
<%
    NumberFormat nf = NumberFormat.getCurrencyInstance(Locale.US);
    List accounts = customer.getAccounts();
    String selected = request.getParameter("acct");
    if (selected == null && !accounts.isEmpty()) {
        selected = ((Account) accounts.get(0)).getNumber();
    }
%>
<HTML>
<HEAD>
<TITLE>Northbank Online &ndash; Account summary for <%= customer.getName() %></TITLE>
<META HTTP-EQUIV="Pragma" CONTENT="no-cache">
<LINK REL="stylesheet" HREF="<%= request.getContextPath() %>/css/bank.css" TYPE="text/css">
</HEAD>
<BODY>
<!--#include virtual="/includes/header.html" -->
<H1>Welcome back, <jsp:getProperty name="customer" property="firstName" />!</H1>
<P>Last sign-in: <%= customer.getLastLogin() %>. If this was not you, call
1-800-555-0199 &amp; ask for the security desk.</P>

<TABLE BORDER="1" CELLPADDING="4" CELLSPACING="0">
<TR><TH>Account</TH><TH>Type</TH><TH ALIGN="right">Balance</TH></TR>
<% for (Iterator it = accounts.iterator(); it.hasNext(); ) {
       Account a = (Account) it.next(); %>
<TR<% if (a.getNumber().equals(selected)) { %> BGCOLOR="#FFFFCC"<% } %>>
  <TD><A HREF="account.jsp?acct=<%= a.getNumber() %>"><%= a.getMaskedNumber() %></A></TD>
  <TD><%= a.getType() %></TD>
  <TD ALIGN="right"><%= money(nf, a.getBalance()) %></TD>
</TR>
<% } %>
</TABLE>

<H2>Recent transactions</H2>
<% List rows = statement.getTransactions(selected, ROWS);
   if (rows.isEmpty()) { %>
<P><I>No transactions in the last 30 days.</I></P>
<% } else { %>
<TABLE BORDER="0" CELLPADDING="2" WIDTH="100%">
<% for (int i = 0; i < rows.size(); i++) {
       Transaction t = (Transaction) rows.get(i); %>
<TR BGCOLOR="<%= i % 2 == 0 ? "#FFFFFF" : "#EEEEEE" %>">
  <TD><%= t.getDate() %></TD>
  <TD><%= t.getDescription() %></TD>
  <TD ALIGN="right"><%= money(nf, t.getAmount()) %></TD>
</TR>
<% } %>
</TABLE>
<% } %>

<FORM ACTION="transfer.jsp" METHOD="post">
<INPUT TYPE="hidden" NAME="from" VALUE="<%= selected %>">
Transfer <INPUT TYPE="text" NAME="amount" SIZE="8"> to
<SELECT NAME="to">
<% for (Iterator it = accounts.iterator(); it.hasNext(); ) {
       Account a = (Account) it.next();
       if (!a.getNumber().equals(selected)) { %>
  <OPTION VALUE="<%= a.getNumber() %>"><%= a.getMaskedNumber() %></OPTION>
<%     }
   } %>
</SELECT>
<INPUT TYPE="submit" VALUE="Transfer">
</FORM>

<!--#include virtual="/includes/footer.html" -->
<!--#echo var="LAST_MODIFIED" -->
</BODY>
</HTML>
