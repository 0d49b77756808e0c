4<%@ page import="java.io.*" %>
<tsx:repeat index=i><%= list.get(i) %><br></tsx:repeat>
<%-- not a comment under 0.91 --%>
<jsp:getProperty name="b" property="p"/>
