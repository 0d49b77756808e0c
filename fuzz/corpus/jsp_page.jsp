1<%@ page language="java" import="java.util.*" %>
<jsp:useBean id="cart" scope="session" class="shop.Cart"/>
<html><body>
<% for (int i = 0; i < n; i++) { %>
  <li><%= cart.item(i) %>
<% } %>
<%-- hidden note --%>
<%! int n = 3; %>
</body></html>
